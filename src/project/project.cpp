#include "project.h"

#include <QRegularExpression>
#include <QUuid>

namespace taskloom {

QString Project::taskText() const
{
    return tasks.join(u'\n');
}

QStringList Project::tasksOf(const QString& taskText)
{
    if (taskText.isEmpty())
        return {};
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return taskText.split(lineBreak);
}

void Project::makeIdIfMissing()
{
    if (id.isEmpty())
        id = QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace taskloom
