#pragma once

#include <QDate>
#include <QList>
#include <QString>

namespace taskloom {

// A task marked done. It is known as its calendar events are known: by its
// name (the line's text without the duration and without "//", blanks around
// it left out) and which task of that name it is, so inserting or removing
// other lines, or changing its duration, keeps it done. Its dates are the ones
// recorded when it was marked; every later build keeps them.
struct DoneTask {
    QString name;
    int occurrence = 1; // 1 for the first task of that name, 2 for the second...
    QDate start;
    QDate end;

    friend bool operator==(const DoneTask&, const DoneTask&) = default;
};

} // namespace taskloom

// Made of Qt values only, so lists of them may move by plain memory copy.
Q_DECLARE_TYPEINFO(taskloom::DoneTask, Q_RELOCATABLE_TYPE);
