#include "settingsstore.h"

#include "engine/tasktext.h"
#include "files/atomicfile.h"
#include "files/boundedread.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>
#include <memory>
#include <utility>
#include <vector>

namespace taskloom {

namespace {

const QString ErrorTitle = QStringLiteral("Error");

// A settings file through the one bounded reader. A pipe or a device is never
// opened: start-up would wait on it, up to the reader's time limit.
BoundedRead readSettingsFile(const QString& path, qint64 maxBytes)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir())
        return {BoundedRead::Outcome::Failed, {}, QStringLiteral("it is not a plain file")};
    return BoundedRead::read(path, maxBytes);
}

// The bytes of a settings file that ships; a missing or unreadable one adds
// its problem and gives nothing.
std::optional<QByteArray> shippedBytes(const BoundedRead& read, const QString& fileName,
                                       QList<Problem>& problems)
{
    if (read.outcome == BoundedRead::Outcome::Read)
        return read.bytes;
    problems.append(read.outcome == BoundedRead::Outcome::Missing
                        ? SettingsStore::missingFileProblem(fileName)
                        : SettingsStore::unreadableFileProblem(fileName, read.reason));
    return std::nullopt;
}

// The whole text of a settings file that ships; a missing or unreadable file
// adds its problem and gives nothing.
std::optional<QString> readSettingsText(const QString& path, const QString& fileName,
                                        QList<Problem>& problems)
{
    const std::optional<QByteArray> bytes =
        shippedBytes(readSettingsFile(path, SettingsStore::MaxFileBytes), fileName, problems);
    // fromUtf8 drops a byte-order mark an editor may have put before line 1.
    return bytes ? std::optional(QString::fromUtf8(*bytes)) : std::nullopt;
}

struct HourFile {
    std::optional<QString> text; // as stored, line breaks kept
    bool damaged = false;
};

// An hour file holds a short label: one longer than that is damaged, told,
// and not used, so a huge file is never copied into every calendar event.
HourFile readHourFile(const QString& path, const QString& fileName, QList<Problem>& problems)
{
    const BoundedRead read = readSettingsFile(path, SettingsStore::MaxHourFileBytes);
    std::optional<QString> text;
    if (read.outcome != BoundedRead::Outcome::TooLarge) {
        const std::optional<QByteArray> bytes = shippedBytes(read, fileName, problems);
        if (!bytes)
            return {};
        text = QString::fromUtf8(*bytes);
    }
    if (!text || SettingsStore::hourText(*text).size() > SettingsStore::MaxHourLength) {
        problems.append(SettingsStore::damagedHourProblem(fileName));
        return {std::nullopt, true};
    }
    return {std::move(text)};
}

// "line 3", "lines 3 and 5", "lines 4, 5, 6 and 7"; past the first shown
// numbers only how many more: "lines 1, 2, 3, 4, 5 and 1,234 more". A week
// has seven lines to show.
QString lineList(const QList<int>& lineNumbers, qsizetype shown = 7)
{
    QString text = lineNumbers.size() == 1 ? QStringLiteral("line ") : QStringLiteral("lines ");
    const qsizetype listed = lineNumbers.size() > shown ? shown : lineNumbers.size();
    for (qsizetype i = 0; i < listed; ++i) {
        if (i > 0)
            text += i == lineNumbers.size() - 1 ? QStringLiteral(" and ") : QStringLiteral(", ");
        text += QString::number(lineNumbers.at(i));
    }
    if (listed < lineNumbers.size())
        text += QStringLiteral(" and %1 more")
                    .arg(QLocale(QLocale::English).toString(lineNumbers.size() - listed));
    return text;
}

struct PendingWrite {
    QString path;
    QByteArray bytes;
};

// Writes every file aside first and puts them in place only when all were
// written, so a full disk or a folder in the way changes none of them. Should
// a later rename still fail, the files already replaced get their old text back.
std::optional<WriteFailure> writeTogether(const QList<PendingWrite>& writes,
                                          const SettingsStore::CommitStep& commit)
{
    // A pipe or a device in a file's place is never replaced, and never
    // opened: a pipe would block the dialog.
    for (const PendingWrite& write : writes) {
        if (std::optional<QString> reason = AtomicFile::specialTargetReason(write.path))
            return WriteFailure{write.path, *reason};
    }
    std::vector<std::unique_ptr<QSaveFile>> files;
    for (const PendingWrite& write : writes) {
        auto file = std::make_unique<QSaveFile>(write.path);
        // QSaveFile buffers: only a flush tells whether the bytes reached the
        // disk; commit() would otherwise put a cut-off file in place.
        errno = 0;
        if (!file->open(QIODevice::WriteOnly) || file->write(write.bytes) != write.bytes.size() ||
            !file->flush())
            return WriteFailure{write.path, AtomicFile::failureReason(*file, errno)};
        files.push_back(std::move(file));
    }

    std::vector<std::optional<QByteArray>> previous;
    for (const PendingWrite& write : writes) {
        QFile old(write.path);
        previous.push_back(old.open(QIODevice::ReadOnly) ? std::optional(old.readAll())
                                                         : std::nullopt);
    }

    for (std::size_t i = 0; i < files.size(); ++i) {
        if (commit(*files[i]))
            continue;
        const WriteFailure failure{writes.at(static_cast<qsizetype>(i)).path,
                                   files[i]->errorString()};
        for (std::size_t j = 0; j < i; ++j) {
            const QString& path = writes.at(static_cast<qsizetype>(j)).path;
            if (!previous[j]) {
                QFile::remove(path);
                continue;
            }
            QSaveFile restore(path);
            if (restore.open(QIODevice::WriteOnly))
                restore.write(*previous[j]);
            restore.commit();
        }
        return failure;
    }
    return std::nullopt;
}

} // namespace

SettingsStore::SettingsStore(QString folder, QString defaultsFolder, CommitStep commit)
    : m_folder(std::move(folder)), m_defaultsFolder(std::move(defaultsFolder)),
      m_commit(commit ? std::move(commit) : [](QSaveFile& file) { return file.commit(); })
{
}

QString SettingsStore::pathOf(const QString& fileName) const
{
    return m_folder + u'/' + fileName;
}

QString SettingsStore::readPathOf(const QString& fileName) const
{
    QString path = pathOf(fileName);
    if (m_defaultsFolder.isEmpty() || QFileInfo::exists(path))
        return path;
    const QString fallback = m_defaultsFolder + u'/' + fileName;
    return QFileInfo::exists(fallback) ? fallback : path;
}

SettingsStore::HoursLoad SettingsStore::loadWorkingHours() const
{
    HoursLoad load;
    HourLoad startsAt = loadHourText(QString::fromLatin1(StartsAtFile));
    load.problems = std::move(startsAt.problems);
    load.startsAt = std::move(startsAt.text);
    if (!load.startsAt)
        return load; // the end-hour file is then not looked at
    HourLoad endsAt = loadHourText(QString::fromLatin1(EndsAtFile));
    load.problems += endsAt.problems;
    load.endsAt = std::move(endsAt.text);
    return load;
}

SettingsStore::HourLoad SettingsStore::loadHourText(const QString& fileName) const
{
    HourLoad load;
    if (const HourFile file = readHourFile(readPathOf(fileName), fileName, load.problems);
        file.text)
        load.text = hourText(*file.text);
    return load;
}

QString SettingsStore::hourText(QString stored)
{
    stored.remove(u'\r');
    stored.remove(u'\n');
    return stored;
}

SettingsStore::WeekLoad SettingsStore::loadWorkingWeek() const
{
    WeekLoad load;
    const std::optional<QString> text =
        readSettingsText(readPathOf(WorkingWeekFile), WorkingWeekFile, load.problems);
    if (!text)
        return load;

    const QStringList lines = TaskText::splitLines(*text);
    WeekFlags flags{};
    QList<int> damaged;
    for (int day = 1; day <= 7; ++day) {
        bool ok = false;
        // The number conversion would stop at a NUL and take "1<NUL>junk" for 1.
        if (day <= lines.size() && !lines.at(day - 1).contains(QChar::Null))
            flags[day] = lines.at(day - 1).trimmed().toShort(&ok);
        if (!ok) {
            flags[day] = 0;
            damaged.append(day);
        }
    }
    load.flags = flags;
    if (!damaged.isEmpty())
        load.problems.append(damagedWeekProblem(damaged));
    return load;
}

SettingsStore::HourListsLoad SettingsStore::loadHourLists() const
{
    HourListsLoad load;
    // A damaged hour is told and offered as no hour, so that a Save mends it.
    const auto stored = [&](const char* fileName) {
        const HourFile file = readHourFile(readPathOf(fileName), fileName, load.problems);
        return file.damaged ? std::optional(QString()) : file.text;
    };
    load.storedStartsAt = stored(StartsAtFile);
    if (!load.storedStartsAt)
        return load;
    load.storedEndsAt = stored(EndsAtFile);
    if (!load.storedEndsAt)
        return load;
    if (const std::optional<QString> hours =
            readSettingsText(readPathOf(HoursFile), HoursFile, load.problems))
        load.hours = TaskText::splitLines(*hours);
    return load;
}

SettingsStore::DaysOffLoad SettingsStore::loadDaysOff() const
{
    const BoundedRead read = readSettingsFile(pathOf(DaysOffFile), MaxFileBytes);
    // Installations from before dates off have no file, and need none.
    if (read.outcome == BoundedRead::Outcome::Missing)
        return {};
    if (read.outcome != BoundedRead::Outcome::Read) {
        // Reinstalling would not help: the file is the user's own.
        return {{},
                {{ErrorTitle, QStringLiteral("Error: %1 cannot be read (%2). No days off are "
                                             "counted until it can be.")
                                  .arg(QString::fromLatin1(DaysOffFile), read.reason)}}};
    }
    return readDaysOff(QString::fromUtf8(read.bytes), QString::fromLatin1(DaysOffFile));
}

SettingsStore::DaysOffLoad SettingsStore::readDaysOff(const QString& text, const QString& fileName)
{
    static const QRegularExpression line(QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})(?:\\s+(.*))?$"));
    DaysOffLoad load;
    QList<int> damaged;
    const QStringList lines = TaskText::splitLines(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString trimmed = lines.at(i).trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
            continue;
        const QRegularExpressionMatch match = line.match(trimmed);
        const QDate date =
            match.hasMatch() ? QDate::fromString(match.captured(1), Qt::ISODate) : QDate();
        if (!date.isValid()) {
            damaged.append(static_cast<int>(i) + 1);
            continue;
        }
        load.daysOff.append({date, match.captured(2)});
    }
    load.daysOff = DayOff::merged(std::move(load.daysOff));
    if (!damaged.isEmpty())
        load.problems.append(damagedDaysOffProblem(fileName, damaged));
    return load;
}

std::optional<WriteFailure> SettingsStore::saveWorkingWeek(const WeekFlags& flags,
                                                           const QString& startsAt,
                                                           const QString& endsAt,
                                                           const QList<DayOff>& daysOff) const
{
    QByteArray week;
    for (std::size_t day = 1; day <= 7; ++day)
        week += QByteArray::number(flags[day]) + "\r\n";
    // A first line that says what the file holds, for whoever opens it in an editor.
    QByteArray dates = "# Days off: one date a line as YYYY-MM-DD, then a blank and a label.\r\n";
    for (const DayOff& day : DayOff::merged(daysOff)) {
        dates += day.date.toString(Qt::ISODate).toLatin1();
        // A line break in a label would start a line of its own.
        const QString label =
            QString(day.label).replace(u'\r', u' ').replace(u'\n', u' ').trimmed();
        if (!label.isEmpty())
            dates += ' ' + label.toUtf8();
        dates += "\r\n";
    }
    // The hour files hold the text alone, as shipped; no line break is added.
    return writeTogether({{pathOf(StartsAtFile), startsAt.toUtf8()},
                          {pathOf(EndsAtFile), endsAt.toUtf8()},
                          {pathOf(WorkingWeekFile), week},
                          {pathOf(DaysOffFile), dates}},
                         m_commit);
}

Problem SettingsStore::missingFileProblem(const QString& fileName)
{
    return {
        ErrorTitle,
        QStringLiteral("Error: %1 file not found. Please reinstall the software.").arg(fileName)};
}

Problem SettingsStore::unreadableFileProblem(const QString& fileName, const QString& reason)
{
    return {ErrorTitle,
            QStringLiteral("Error: %1 cannot be read (%2). Please reinstall the software.")
                .arg(fileName, reason)};
}

Problem SettingsStore::damagedWeekProblem(const QList<int>& lineNumbers)
{
    const QString daysOff = lineNumbers.size() == 1
                                ? QStringLiteral("That day counts as a day off.")
                                : QStringLiteral("Those days count as days off.");
    return {ErrorTitle,
            QStringLiteral("Error: %1 is damaged (%2). %3 Please open Settings and "
                           "save your working week again.")
                .arg(QString::fromLatin1(WorkingWeekFile), lineList(lineNumbers), daysOff)};
}

Problem SettingsStore::damagedHourProblem(const QString& fileName)
{
    return {ErrorTitle, QStringLiteral("Error: %1 is damaged (more than %2 characters). Please "
                                       "open Settings and save your working week again.")
                            .arg(fileName, QString::number(MaxHourLength))};
}

Problem SettingsStore::damagedDaysOffProblem(const QString& fileName, const QList<int>& lineNumbers)
{
    const bool one = lineNumbers.size() == 1;
    return {ErrorTitle,
            QStringLiteral("Error: %1 %2 %3 (YYYY-MM-DD). %4 skipped.")
                .arg(fileName, lineList(lineNumbers, 5),
                     one ? QStringLiteral("is not a date") : QStringLiteral("are not dates"),
                     one ? QStringLiteral("That line is") : QStringLiteral("Those lines are"))};
}

} // namespace taskloom
