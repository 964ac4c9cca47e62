#pragma once
// What the window tests share: a started window over a folder of settings files, with its
// message boxes and file dialogs answered from queues.
#include "modalanswerer.h"
#include "testfiles.h"
#include "ui/filechooser.h"
#include "ui/mainwindow.h"
#include "ui/timelineview.h"

#include <QTest>
#include <QtWidgets>

namespace taskloom::test {

using Box = QMessageBox;
using Text = const QString&;
const QDate Today(2026, 12, 9); // a Wednesday; the tests never read the clock

inline QString box(Text title, Text text, Box::Icon icon = Box::Information,
                   Box::StandardButtons buttons = Box::Ok, Box::StandardButton enter = Box::Ok)
{
    return ModalAnswerer::line(title, text, icon, buttons, enter);
}

// A fresh folder with a copy of the shipped settings files and an empty output folder.
struct ShippedFolder : QTemporaryDir {
    ShippedFolder()
    {
        for (const QFileInfo& data : QDir(qApp->applicationDirPath()).entryInfoList({"*.txt"}))
            QFile::copy(data.filePath(), filePath(data.fileName()));
        QDir(path()).mkdir("output");
    }
};

// Answers file dialogs from a queue of paths (none left or "": cancelled), choosing `filter`
// when set, and notes each one offered as caption|path|filters, then the filter it preselected.
struct QueuedChooser : FileChooser {
    QStringList paths, offered;
    QString filter;
    QString openFile(QWidget*, Text caption, Text folder, Text filters) override
    {
        return take(caption + '|' + folder + '|' + filters);
    }
    QString saveFile(QWidget*, Text caption, Text suggested, Text filters, QString* chosen) override
    {
        const QString asked = caption + '|' + suggested + '|' + filters;
        if (chosen && !filter.isEmpty())
            return take(asked + '|' + std::exchange(*chosen, filter));
        return take(chosen ? asked + '|' + *chosen : asked);
    }
    QString take(Text asked)
    {
        offered << asked;
        return paths.isEmpty() ? QString() : paths.takeFirst();
    }
};

// A started window over a folder; a second one over the same folder is the next run. OK
// answers each of the boxes start-up shows.
struct Planner {
    ModalAnswerer answers;
    MainWindow window;
    QueuedChooser* chooser = new QueuedChooser; // the window owns it

    explicit Planner(Text folder, qsizetype startUpBoxes = 0, QDate today = Today)
        : window(AppFolders::beside(folder), [today] { return today; })
    {
        window.setFileChooser(std::unique_ptr<FileChooser>(chooser));
        answers.answer(Box::Ok, startUpBoxes);
        window.startUp();
        window.show();
    }
    ~Planner() { QCOMPARE(answers.unexpectedCount(), 0); }
    template <typename T = QWidget> T* get(Text name) const { return window.findChild<T*>(name); }
    // Near the top left: option buttons and check boxes take clicks on their mark only.
    void click(Text name) const { QTest::mouseClick(get(name), Qt::LeftButton, {}, {8, 12}); }
    void type(Text tasks) const { get<QPlainTextEdit>("txtTodo")->setPlainText(tasks); }
    void name(Text name) const { get<QLineEdit>("txtProjectName")->setText(name); }
    void build(Text tasks) const
    {
        type(tasks);
        click("cmdToList");
    }
    int rows() const { return get<QTableView>("ListView1")->model()->rowCount(); }
    TimelineView* timeline() const { return get<TimelineView>("timelineView"); }
    // The window's keys need it active; offscreen, a closed box leaves no window active.
    void activate()
    {
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
};

} // namespace taskloom::test
