#include "project.h"

#include <QUuid>

namespace taskloom {

QString Project::taskText() const
{
    return tasks.join(u'\n');
}

void Project::makeIdIfMissing()
{
    if (id.isEmpty())
        id = QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace taskloom
