#include "settingsstore.h"

#include "engine/tasktext.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <memory>
#include <utility>
#include <vector>

namespace taskloom {

namespace {

const QString ErrorTitle = QStringLiteral("Error");

// The whole text of a settings file; a missing or unreadable file adds its
// problem and gives nothing.
std::optional<QString> readSettingsFile(const QString& path, const QString& fileName,
                                        QList<SettingsProblem>& problems)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        problems.append(SettingsStore::missingFileProblem(fileName));
        return std::nullopt;
    }
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        const QString reason =
            info.isDir() ? QStringLiteral("a folder stands in its place") : file.errorString();
        problems.append(SettingsStore::unreadableFileProblem(fileName, reason));
        return std::nullopt;
    }
    // fromUtf8 drops a byte-order mark an editor may have put before line 1.
    return QString::fromUtf8(file.readAll());
}

// "line 3", "lines 3 and 5", "lines 4, 5, 6 and 7".
QString lineList(const QList<int>& lineNumbers)
{
    QString text = lineNumbers.size() == 1 ? QStringLiteral("line ") : QStringLiteral("lines ");
    for (qsizetype i = 0; i < lineNumbers.size(); ++i) {
        if (i > 0)
            text += i == lineNumbers.size() - 1 ? QStringLiteral(" and ") : QStringLiteral(", ");
        text += QString::number(lineNumbers.at(i));
    }
    return text;
}

struct PendingWrite {
    QString path;
    QByteArray bytes;
};

// Writes every file aside first and puts them in place only when all were
// written, so a full disk or a folder in the way changes none of them. Should
// a later rename still fail, the files already replaced get their old text back.
std::optional<WriteFailure> writeTogether(const QList<PendingWrite>& writes)
{
    std::vector<std::unique_ptr<QSaveFile>> files;
    for (const PendingWrite& write : writes) {
        auto file = std::make_unique<QSaveFile>(write.path);
        // QSaveFile buffers: only a flush tells whether the bytes reached the
        // disk; commit() would otherwise put a cut-off file in place.
        if (!file->open(QIODevice::WriteOnly) || file->write(write.bytes) != write.bytes.size() ||
            !file->flush())
            return WriteFailure{write.path, file->errorString()};
        files.push_back(std::move(file));
    }

    std::vector<std::optional<QByteArray>> previous;
    for (const PendingWrite& write : writes) {
        QFile old(write.path);
        previous.push_back(old.open(QIODevice::ReadOnly) ? std::optional(old.readAll())
                                                         : std::nullopt);
    }

    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i]->commit())
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

SettingsStore::SettingsStore(QString folder) : m_folder(std::move(folder)) {}

QString SettingsStore::pathOf(const QString& fileName) const
{
    return m_folder + u'/' + fileName;
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
    if (const std::optional<QString> text =
            readSettingsFile(pathOf(fileName), fileName, load.problems))
        load.text = hourText(*text);
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
        readSettingsFile(pathOf(WorkingWeekFile), WorkingWeekFile, load.problems);
    if (!text)
        return load;

    const QStringList lines = TaskText::splitLines(*text);
    WeekFlags flags{};
    QList<int> damaged;
    for (int day = 1; day <= 7; ++day) {
        bool ok = false;
        if (day <= lines.size())
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
    load.storedStartsAt = readSettingsFile(pathOf(StartsAtFile), StartsAtFile, load.problems);
    if (!load.storedStartsAt)
        return load;
    load.storedEndsAt = readSettingsFile(pathOf(EndsAtFile), EndsAtFile, load.problems);
    if (!load.storedEndsAt)
        return load;
    if (const std::optional<QString> hours =
            readSettingsFile(pathOf(HoursFile), HoursFile, load.problems))
        load.hours = TaskText::splitLines(*hours);
    return load;
}

std::optional<WriteFailure> SettingsStore::saveWorkingWeek(const WeekFlags& flags,
                                                           const QString& startsAt,
                                                           const QString& endsAt) const
{
    QByteArray week;
    for (std::size_t day = 1; day <= 7; ++day)
        week += QByteArray::number(flags[day]) + "\r\n";
    // The hour files hold the text alone, as shipped; no line break is added.
    return writeTogether({{pathOf(StartsAtFile), startsAt.toUtf8()},
                          {pathOf(EndsAtFile), endsAt.toUtf8()},
                          {pathOf(WorkingWeekFile), week}});
}

SettingsProblem SettingsStore::missingFileProblem(const QString& fileName)
{
    return {
        ErrorTitle,
        QStringLiteral("Error: %1 file not found. Please reinstall the software.").arg(fileName)};
}

SettingsProblem SettingsStore::unreadableFileProblem(const QString& fileName, const QString& reason)
{
    return {ErrorTitle,
            QStringLiteral("Error: %1 cannot be read (%2). Please reinstall the software.")
                .arg(fileName, reason)};
}

SettingsProblem SettingsStore::damagedWeekProblem(const QList<int>& lineNumbers)
{
    return {ErrorTitle, QStringLiteral("Error: %1 is damaged (%2). Those days count as days off. "
                                       "Please open Settings and save your working week again.")
                            .arg(QString::fromLatin1(WorkingWeekFile), lineList(lineNumbers))};
}

} // namespace taskloom
