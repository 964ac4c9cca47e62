#include "exportfilename.h"

namespace taskloom {

QString ExportFileName::forProject(const QString& projectName, const QString& extension)
{
    QString name;
    name.reserve(projectName.size());
    for (const QChar c : projectName) {
        // Slashes would make folders, the rest trouble other systems the
        // file is copied to.
        if (c.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(c))
            name += u'_';
        else
            name += c;
    }
    name = name.trimmed();
    // A hidden file, or none at all, is not what anyone asked for.
    while (name.startsWith(u'.'))
        name.remove(0, 1);
    return (name.isEmpty() ? QStringLiteral("project") : name) + extension;
}

} // namespace taskloom
