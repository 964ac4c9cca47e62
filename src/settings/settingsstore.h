#pragma once

#include "engine/dayoff.h"
#include "engine/problem.h"
#include "engine/workingweek.h"
#include "writefailure.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QSaveFile;

namespace taskloom {

// The working-week files in one folder (AppFolders::settings when the program
// runs): workingweek.txt, workingday_starts_at.txt, workingday_ends_at.txt,
// hours.txt and the user's own daysoff.txt. An installed copy names its
// defaults folder too: a file missing from the folder is read from there.
// Readers accept CR LF, LF or CR, with or without a final line break; writers
// end every line with CR LF and replace files atomically, always in the folder.
class SettingsStore {
public:
    static constexpr const char* WorkingWeekFile = "workingweek.txt";
    static constexpr const char* StartsAtFile = "workingday_starts_at.txt";
    static constexpr const char* EndsAtFile = "workingday_ends_at.txt";
    static constexpr const char* HoursFile = "hours.txt";
    static constexpr const char* DaysOffFile = "daysoff.txt";

    // An hour text is a short label: a longer one, or an hour file beyond
    // MaxHourFileBytes, is damaged and not used.
    static constexpr qsizetype MaxHourLength = 200;
    static constexpr qint64 MaxHourFileBytes = 4096;
    // The most read of any other settings file, daysoff.txt included (and of
    // a file in its format): far beyond any real one; a larger one is refused.
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

    // Puts one file written aside in its place; the real one is
    // QSaveFile::commit(). Tests hand in one that fails on a chosen file, since
    // no permission stops a rename for root.
    using CommitStep = std::function<bool(QSaveFile&)>;

    explicit SettingsStore(QString folder, QString defaultsFolder = {}, CommitStep commit = {});

    const QString& folder() const { return m_folder; }
    QString pathOf(const QString& fileName) const;

    // The main window's start-up read of the hour texts, line breaks removed.
    // A start-hour file missing or damaged stops the read (neither text is
    // set); an end-hour file missing or damaged leaves only endsAt unset.
    struct HoursLoad {
        std::optional<QString> startsAt;
        std::optional<QString> endsAt;
        QList<Problem> problems;
    };
    HoursLoad loadWorkingHours() const;

    // One hour file on its own, line breaks removed: for a caller that already
    // has the other hour (the command line's --starts-at and --ends-at).
    struct HourLoad {
        std::optional<QString> text;
        QList<Problem> problems;
    };
    HourLoad loadHourText(const QString& fileName) const;

    // The flags of workingweek.txt, lines 1 to 7, Monday first; further lines
    // are ignored. flags is unset when the file is missing. A missing line, or
    // one that is not a whole number in the signed 16-bit range, counts as a
    // day off (0) and gives one problem for the file.
    struct WeekLoad {
        std::optional<WeekFlags> flags;
        QList<Problem> problems;
    };
    WeekLoad loadWorkingWeek() const;

    // The Working Week dialog's read: both stored hour texts as stored (line
    // breaks kept) and the hours on offer, one entry per line of hours.txt.
    // Reading stops at the first missing file, which gives its problem; a
    // damaged hour file gives its problem and an empty hour text.
    struct HourListsLoad {
        std::optional<QString> storedStartsAt;
        std::optional<QString> storedEndsAt;
        std::optional<QStringList> hours;
        QList<Problem> problems;
    };
    HourListsLoad loadHourLists() const;

    // The dates off of daysoff.txt, sorted, each date once. The file is the
    // user's, not shipped: a missing one means no dates off and no problem.
    // Damaged lines give one problem and are skipped; the rest still count.
    // A file beyond MaxFileBytes is refused with a problem, unread.
    struct DaysOffLoad {
        QList<DayOff> daysOff;
        QList<Problem> problems;
    };
    DaysOffLoad loadDaysOff() const;
    // The same reading of a text in that format; fileName names it in the problem.
    // One date a line as YYYY-MM-DD, optionally a blank and a label after it;
    // blank lines and lines starting with "#" are skipped.
    static DaysOffLoad readDaysOff(const QString& text, const QString& fileName);

    // The Working Week dialog's Save: both hour files, workingweek.txt and
    // daysoff.txt are written aside first and only then put in place, so a
    // failure (a full disk, a folder in the way) leaves all four as they were
    // and says why.
    std::optional<WriteFailure> saveWorkingWeek(const WeekFlags& flags, const QString& startsAt,
                                                const QString& endsAt,
                                                const QList<DayOff>& daysOff) const;

    // The hour an hour file holds: its text with every line break removed.
    static QString hourText(QString stored);

    static Problem missingFileProblem(const QString& fileName);
    // A file that is there but cannot be read (a folder in its place, no access).
    static Problem unreadableFileProblem(const QString& fileName, const QString& reason);
    // workingweek.txt with missing or unreadable lines (1 to 7), which count as days off.
    static Problem damagedWeekProblem(const QList<int>& lineNumbers);
    // An hour file holding more than a short label.
    static Problem damagedHourProblem(const QString& fileName);
    // Lines of a days-off file that hold no date; they are skipped.
    static Problem damagedDaysOffProblem(const QString& fileName, const QList<int>& lineNumbers);

private:
    // The file in the folder, or the default when only the default is there.
    QString readPathOf(const QString& fileName) const;

    QString m_folder;
    QString m_defaultsFolder;
    CommitStep m_commit;
};

} // namespace taskloom
