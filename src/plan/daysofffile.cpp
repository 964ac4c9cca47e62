#include "daysofffile.h"

#include "files/boundedread.h"
#include "ical/icsreader.h"
#include "settings/settingsstore.h"

#include <QFileInfo>

namespace taskloom {

DaysOffFile::Years DaysOffFile::calendarYears(QDate from)
{
    return {from.year() - 1, from.year() + 30};
}

DaysOffFile::Read DaysOffFile::read(const QString& path, QDate from)
{
    Read read;
    read.years = calendarYears(from);
    const BoundedRead file = BoundedRead::read(path, SettingsStore::MaxFileBytes);
    if (file.outcome != BoundedRead::Outcome::Read) {
        read.unreadable = file.reason;
        return read;
    }
    const QByteArray& bytes = file.bytes;
    const QString fileName = QFileInfo(path).fileName();
    // One named .ics that is not a calendar gets the calendar's error rather
    // than a line-by-line complaint.
    if (IcsReader::looksLikeCalendar(bytes) ||
        path.endsWith(QStringLiteral(".ics"), Qt::CaseInsensitive)) {
        IcsReader::DaysOffRead calendar =
            IcsReader::readDaysOff(bytes, fileName, read.years.first, read.years.last);
        if (!calendar.error.isEmpty()) {
            read.error = calendar.error;
            return read;
        }
        read.daysOff = std::move(calendar.daysOff);
        read.warnings = std::move(calendar.warnings);
        return read;
    }
    SettingsStore::DaysOffLoad dates =
        SettingsStore::readDaysOff(QString::fromUtf8(bytes), fileName);
    read.daysOff = std::move(dates.daysOff);
    read.problems = std::move(dates.problems);
    return read;
}

} // namespace taskloom
