#include "projectfile.h"

#include "engine/tasktext.h"
#include "files/atomicfile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUuid>

#include <cmath>
#include <limits>

namespace taskloom {

namespace {

const QString FormatKey = QStringLiteral("format");
const QString VersionKey = QStringLiteral("version");
const QString IdKey = QStringLiteral("id");
const QString NameKey = QStringLiteral("project");
const QString TasksKey = QStringLiteral("tasks");
const QString StartKey = QStringLiteral("start");
const QString WeekKey = QStringLiteral("adjustToWorkingWeek");
const QString CalendarUrlKey = QStringLiteral("calendarUrl");
const QString CalendarUserKey = QStringLiteral("calendarUser");
const QString DoneKey = QStringLiteral("done");
const QString ReplanKey = QStringLiteral("replannedOn");
const QString RightAway = QStringLiteral("right-away");
// Every key this version reads; the others are kept as they are.
const QStringList KnownKeys{FormatKey, VersionKey,     IdKey,           NameKey, TasksKey, StartKey,
                            WeekKey,   CalendarUrlKey, CalendarUserKey, DoneKey, ReplanKey};

ProjectFile::Load refused(const QString& problem)
{
    ProjectFile::Load load;
    load.problem = problem;
    return load;
}

// The whole file, or what kept it from being read.
std::optional<QByteArray> readBytes(const QString& path, QString& problem)
{
    QFile file(path);
    if (!file.exists()) {
        problem = QStringLiteral("The file was not found.");
        return std::nullopt;
    }
    if (QFileInfo(path).isDir()) {
        problem = QStringLiteral("It is a folder, not a file.");
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        problem = QStringLiteral("It could not be opened: %1.").arg(file.errorString());
        return std::nullopt;
    }
    const QString tooLarge = QStringLiteral("The file is larger than 64 MiB.");
    if (file.size() > ProjectFile::MaxBytes) {
        problem = tooLarge;
        return std::nullopt;
    }
    // Read one byte past the limit: a file that grew meanwhile is caught too.
    QByteArray bytes = file.read(ProjectFile::MaxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        problem = QStringLiteral("It could not be read: %1.").arg(file.errorString());
        return std::nullopt;
    }
    if (bytes.size() > ProjectFile::MaxBytes) {
        problem = tooLarge;
        return std::nullopt;
    }
    return bytes;
}

std::optional<QString> textOf(const QByteArray& bytes)
{
    // The decoder drops a byte-order mark, so a "//" on the first line counts.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

bool holdsLineBreak(const QString& line)
{
    return line.contains(u'\n') || line.contains(u'\r');
}

// The done tasks of a file, or what is wrong with them.
std::optional<QList<DoneTask>> readDone(const QJsonValue& value, QString& problem)
{
    problem =
        QStringLiteral("\"done\" must be a list of tasks, each with \"task\", \"occurrence\" "
                       "(a whole number from 1), \"start\" and \"end\" (dates as YYYY-MM-DD).");
    if (!value.isArray())
        return std::nullopt;
    QList<DoneTask> done;
    for (const QJsonValue item : value.toArray()) {
        const QJsonObject task = item.toObject();
        const double occurrence = task.value(QStringLiteral("occurrence")).toDouble(0);
        const std::optional<QDate> start =
            ProjectFile::parseIsoDate(task.value(QStringLiteral("start")).toString());
        const std::optional<QDate> end =
            ProjectFile::parseIsoDate(task.value(QStringLiteral("end")).toString());
        if (!item.isObject() || !task.value(QStringLiteral("task")).isString() || occurrence < 1 ||
            occurrence > std::numeric_limits<int>::max() || occurrence != std::floor(occurrence) ||
            !start || !end)
            return std::nullopt;
        done.append({task.value(QStringLiteral("task")).toString(), int(occurrence), *start, *end});
    }
    return done;
}

} // namespace

bool ProjectFile::isTaskList(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0;
}

bool ProjectFile::hasProjectSuffix(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String(Suffix), Qt::CaseInsensitive) == 0;
}

bool ProjectFile::isOpenable(const QString& path)
{
    return isTaskList(path) || hasProjectSuffix(path);
}

ProjectFile::Load ProjectFile::read(const QString& path)
{
    QString problem;
    const std::optional<QByteArray> bytes = readBytes(path, problem);
    if (!bytes)
        return refused(problem);
    if (!isTaskList(path))
        return fromJson(*bytes);

    const std::optional<QString> text = textOf(*bytes);
    if (!text)
        return refused(QStringLiteral("The file is not UTF-8 text."));
    Load load;
    load.tasksOnly = true;
    load.project.emplace();
    load.project->name = QFileInfo(path).completeBaseName();
    // A text file's last line may end in a line break, which starts no new task.
    load.project->tasks = TaskText::splitLines(*text);
    return load;
}

ProjectFile::Load ProjectFile::fromJson(const QByteArray& bytes)
{
    const QString notProject = QStringLiteral("The file is not a Taskloom project: %1.");
    QByteArray json = bytes;
    if (json.startsWith("\xEF\xBB\xBF")) // some editors put a byte-order mark first
        json.remove(0, 3);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return refused(notProject.arg(QStringLiteral("it is not JSON (%1 at byte %2)")
                                          .arg(error.errorString())
                                          .arg(error.offset)));
    if (!document.isObject())
        return refused(notProject.arg(QStringLiteral("it holds no JSON object")));
    const QJsonObject object = document.object();
    if (object.value(FormatKey) != QLatin1String(Format))
        return refused(
            notProject.arg(QStringLiteral("\"format\" is not \"%1\"").arg(QLatin1String(Format))));

    const QJsonValue version = object.value(VersionKey);
    const double number = version.toDouble(-1);
    if (!version.isDouble() || number < 1 || number != std::floor(number))
        return refused(QStringLiteral("\"version\" must be a whole number from 1 up."));
    if (number > Version)
        return refused(QStringLiteral("The file was saved by a newer Taskloom (project version "
                                      "%1); this one reads version %2.")
                           .arg(number)
                           .arg(Version));

    // Only the id may be missing: a file without one gets one on its next save.
    for (const QString& key : {NameKey, TasksKey, StartKey, WeekKey}) {
        if (!object.contains(key))
            return refused(QStringLiteral("\"%1\" is missing.").arg(key));
    }

    Project project;

    if (object.contains(IdKey)) {
        const QJsonValue id = object.value(IdKey);
        if (!id.isString() || QUuid::fromString(id.toString()).isNull())
            return refused(QStringLiteral("\"id\" must be a UUID."));
        project.id = id.toString();
    }

    const QJsonValue name = object.value(NameKey);
    if (!name.isString())
        return refused(QStringLiteral("\"project\" must be a text."));
    project.name = name.toString();

    const QJsonValue tasks = object.value(TasksKey);
    if (!tasks.isArray())
        return refused(QStringLiteral("\"tasks\" must be a list of texts."));
    const QJsonArray lines = tasks.toArray();
    project.tasks.reserve(lines.size());
    for (const QJsonValue line : lines) {
        if (!line.isString())
            return refused(QStringLiteral("\"tasks\" must be a list of texts."));
        project.tasks.append(line.toString());
        if (holdsLineBreak(project.tasks.last()))
            return refused(QStringLiteral("Task %1 in \"tasks\" holds a line break.")
                               .arg(project.tasks.size()));
    }

    const QJsonValue start = object.value(StartKey);
    if (start == RightAway) {
        project.startOption = StartOption::RightAway;
    } else {
        const std::optional<QDate> date = parseIsoDate(start.toString());
        if (!date) {
            QString wrong =
                QStringLiteral("\"start\" must be \"right-away\" or a date as YYYY-MM-DD");
            if (start.isString())
                wrong += QStringLiteral(", not \"%1\"").arg(start.toString());
            return refused(wrong + u'.');
        }
        project.startOption = StartOption::OnPickedDate;
        project.startDate = *date;
    }

    const QJsonValue week = object.value(WeekKey);
    if (!week.isBool())
        return refused(QStringLiteral("\"adjustToWorkingWeek\" must be true or false."));
    project.adjustToWorkingWeek = week.toBool();

    // Where the plan was published: optional, as older files have neither.
    for (const auto& [key, value] : {std::pair{&CalendarUrlKey, &project.calendarUrl},
                                     std::pair{&CalendarUserKey, &project.calendarUser}}) {
        if (!object.contains(*key))
            continue;
        if (!object.value(*key).isString())
            return refused(QStringLiteral("\"%1\" must be a text.").arg(*key));
        *value = object.value(*key).toString();
    }

    if (object.contains(DoneKey)) {
        QString problem;
        std::optional<QList<DoneTask>> done = readDone(object.value(DoneKey), problem);
        if (!done)
            return refused(problem);
        project.done = std::move(*done);
    }
    if (object.contains(ReplanKey)) {
        const std::optional<QDate> date = parseIsoDate(object.value(ReplanKey).toString());
        if (!date)
            return refused(QStringLiteral("\"replannedOn\" must be a date as YYYY-MM-DD."));
        project.replanDate = *date;
    }

    project.extras = object;
    for (const QString& key : KnownKeys)
        project.extras.remove(key);

    Load load;
    load.project = std::move(project);
    return load;
}

QByteArray ProjectFile::toJson(const Project& project)
{
    QJsonObject object = project.extras;
    object.insert(FormatKey, QLatin1String(Format));
    object.insert(VersionKey, Version);
    if (!project.id.isEmpty())
        object.insert(IdKey, project.id);
    object.insert(NameKey, project.name);
    object.insert(TasksKey, QJsonArray::fromStringList(project.tasks));
    object.insert(StartKey, project.startOption == StartOption::OnPickedDate
                                ? QJsonValue(project.startDate.toString(Qt::ISODate))
                                : QJsonValue(RightAway));
    object.insert(WeekKey, project.adjustToWorkingWeek);
    if (!project.calendarUrl.isEmpty())
        object.insert(CalendarUrlKey, project.calendarUrl);
    if (!project.calendarUser.isEmpty())
        object.insert(CalendarUserKey, project.calendarUser);
    if (!project.done.isEmpty()) {
        QJsonArray done;
        for (const DoneTask& task : project.done)
            done.append(QJsonObject{{QStringLiteral("task"), task.name},
                                    {QStringLiteral("occurrence"), task.occurrence},
                                    {QStringLiteral("start"), task.start.toString(Qt::ISODate)},
                                    {QStringLiteral("end"), task.end.toString(Qt::ISODate)}});
        object.insert(DoneKey, done);
    }
    if (project.replanDate.isValid())
        object.insert(ReplanKey, project.replanDate.toString(Qt::ISODate));
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

std::optional<QString> ProjectFile::write(const QString& path, const Project& project)
{
    return AtomicFile::write(path, toJson(project));
}

std::optional<QDate> ProjectFile::parseIsoDate(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace taskloom
