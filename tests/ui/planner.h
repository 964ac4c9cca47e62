#pragma once
// What the window tests share: a started window over a folder of settings files, with its
// message boxes and file dialogs answered from queues, and a window worked step by step.
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
        return take({caption, folder, filters});
    }
    QString saveFile(QWidget*, Text caption, Text suggested, Text filters, QString* chosen) override
    {
        QStringList asked{caption, suggested, filters};
        if (chosen)
            asked << std::exchange(*chosen, filter.isEmpty() ? *chosen : filter);
        return take(asked);
    }
    QString take(const QStringList& asked)
    {
        offered << asked.join('|');
        return paths.isEmpty() ? QString() : paths.takeFirst();
    }
};

// A started window over a folder; a second one over the same folder is the next run. Every
// box it shows must be read with answers.shown().
struct Planner {
    ModalAnswerer answers;
    MainWindow window;
    QueuedChooser* chooser = new QueuedChooser; // the window owns it

    explicit Planner(Text folder, QDate today = Today)
        : window(AppFolders::beside(folder), [today] { return today; })
    {
        window.setFileChooser(std::unique_ptr<FileChooser>(chooser));
        window.startUp();
        window.show();
    }
    ~Planner() { QCOMPARE(answers.shown(0), QStringList()); }
    template <typename T = QWidget> T* get(Text name) const { return window.findChild<T*>(name); }
};

// A window worked step by step, for tests written as tables. The steps, "|" between them, a
// word and what it takes; the window starts at the first step that needs it:
//   put FILE=TEXT, mkdir PATH, rm PATH   in the folder
//   today YYYY-MM-DD, locale NAME        before the start;  restart: the next run
//   wait             the start-up catch-up has run
//   set NAME VALUE   a text box's text (typed, then left), a list's entry (else typed), a
//                    date (picked in a calendar), a check box's 0 or 1
//   build TASKS      typed, then Create Project!;  days FLAGS: the Working Week, Monday first
//   click NAME       a control, or an action from its menu;  focus NAME
//   keys NAME SEQUENCE                       ("-": where the focus is)
//   choose PATH, filter TEXT                 the next file dialog's answer ("": cancelled)
//   answer BUTTON    the next box's ("Discard"), or "Return NAME": pressed in the box and
//                    released on NAME; a box with none queued gets Enter
//   open FILE        as the command line opens it;  drop NAME FILE: dropped on a control
//   reopen N         the Nth of Open Recent;        current ROW: the schedule table's
//   close            Return on the last button of the dialog open: "NAME closed"
// and what shows, a line each in the result, the folder as "<dir>": "boxes" (those since),
// "state" (name|tasks|start|week|title|rows), "rows" (as start-end, days of the month, "✓"
// when ticked done), "offered" (the file dialogs since), "calendar" (its date), "text NAME"
// (of a control or action), "file PATH" (its bytes), "has PATH TEXT" (or "lacks"), "recent"
// (Open Recent), "view" (the view shown and its rows), "tab" (Tab pressed: where the focus
// goes), "tip X Y" (the timeline's hover text). A step that opens a dialog modal to the
// application waits in it: the steps after it go on there, and NAME is looked for in the
// dialog first. Steps of the test's own go to `more`, which gives what shows or a null text.
struct Script {
    QString folder;
    std::function<QString(Text step)> more = {};
    QDate today = Today;
    std::optional<Planner> p = {};

    static QWidget* dialog()
    {
        QWidget* open = QApplication::activeModalWidget();
        return open && !qobject_cast<QMessageBox*>(open) &&
                       open->windowModality() == Qt::ApplicationModal
                   ? open
                   : nullptr;
    }
    QWidget* find(Text name) const
    {
        QWidget* in = dialog() ? dialog()->findChild<QWidget*>(name) : nullptr;
        return in ? in : p->get(name);
    }
    QString rows() const
    {
        QStringList rows;
        const QAbstractItemModel* table = p->get<QTableView>("ListView1")->model();
        for (const ScheduleRow& row : p->window.schedule().rows) {
            const QVariant tick = table->index(int(rows.size()), 0).data(Qt::CheckStateRole);
            rows << row.start.toString("d-") + row.end.toString("d") +
                        (tick == Qt::Checked ? "✓" : "");
        }
        return rows.join(' ');
    }

    QString run(Text steps)
    {
        const QStringList list = steps.split('|');
        QStringList shown;
        qsizetype next = 0;
        const QObject guard; // no resumption outlives the run
        std::function<void()> go;
        std::function<void(qsizetype, QWidget*)> resume = [&](qsizetype step, QWidget* before) {
            if (next == step && dialog() && dialog() != before)
                go(); // the step waits in a dialog it opened
            else if (next == step)
                QTimer::singleShot(10, &guard, [&resume, step, before] { resume(step, before); });
        };
        go = [&] {
            while (next < list.size()) {
                QTimer::singleShot(0, &guard, [&resume, step = next + 1, before = dialog()] {
                    resume(step, before);
                });
                if (const QString out = this->step(list.at(next++)); !out.isNull())
                    shown << out;
            }
            if (QWidget* open = dialog(); open && open->close()) // rather than wait for ever
                shown << open->objectName() + " left open";
        };
        go();
        return shown.join('\n').replace(folder, "<dir>");
    }

    QString step(Text step)
    {
        const QString word = step.section(' ', 0, 0), text = step.section(' ', 1);
        const QString path = QDir(folder).filePath(word == "has" ? text.section(' ', 0, 0)
                                                                 : text.section('=', 0, 0));
        if (word == "put")
            return put(path, text.section('=', 1).toUtf8()) ? QString() : "cannot write " + path;
        if (word == "mkdir" || word == "rm")
            return (word == "rm" ? QFile::remove(path) : QDir().mkpath(path)) ? QString()
                                                                              : "cannot " + step;
        if (word == "today" || word == "locale" || word == "restart") {
            word == "today"    ? void(today = QDate::fromString(text, Qt::ISODate))
            : word == "locale" ? QLocale::setDefault(QLocale(text))
                               : p.reset();
            return {};
        }
        if (!p)
            p.emplace(folder, today);
        auto* table = p->get<QTableView>("ListView1");
        auto* timeline = p->get<TimelineView>("timelineView");
        QWidget* named = find(text.section(' ', 0, 0));
        const QString value = text.section(' ', 1);
        auto* line = qobject_cast<QLineEdit*>(named);
        if (word == "wait") {
            if (!QTest::qWaitFor([this] { return !p->get<QTimer>("tmrDate")->isActive(); }))
                return "the catch-up timer still runs";
        } else if (word == "build") {
            p->get<QPlainTextEdit>("txtTodo")->setPlainText(text);
            QTest::mouseClick(p->get("cmdToList"), Qt::LeftButton);
        } else if (word == "days")
            for (int n = 1; n <= 7; ++n)
                static_cast<QCheckBox*>(find(QString("chkWorkingDay%1").arg(n)))
                    ->setChecked(text[n - 1] == '1');
        else if (word == "click" && !named) // an action, from its menu
            p->get<QAction>(text)->trigger();
        else if (word == "click") // near the top left: option and check boxes take it on their mark
            QTest::mouseClick(named, Qt::LeftButton, {}, {8, 12});
        else if (word == "focus")
            named->setFocus();
        else if (word == "set" && line) {
            line->clear();
            QTest::keyClicks(line, value);
            Q_EMIT line->editingFinished();
            QTest::qWait(20); // what that asks for is answered
        } else if (auto* tasks = qobject_cast<QPlainTextEdit*>(named); word == "set" && tasks)
            tasks->setPlainText(value);
        else if (word == "set" &&
                 (qobject_cast<QDateEdit*>(named) || qobject_cast<QCalendarWidget*>(named)))
            named->setProperty(qobject_cast<QDateEdit*>(named) ? "date" : "selectedDate",
                               QDate::fromString(value, Qt::ISODate));
        else if (auto* box = qobject_cast<QComboBox*>(named); word == "set" && box)
            box->findText(value) < 0 ? box->setCurrentText(value) // typed
                                     : box->setCurrentIndex(box->findText(value));
        else if (word == "set")
            static_cast<QAbstractButton*>(named)->setChecked(value == "1");
        else if (word == "keys" || word == "tab") {
            if (!dialog()) { // the window's keys need it active
                p->window.activateWindow();
                if (!QTest::qWaitForWindowActive(&p->window))
                    return "the window never became active";
            }
            QTest::keySequence(word == "tab" || text.startsWith("- ") ? QApplication::focusWidget()
                                                                      : named,
                               word == "tab" ? "Tab" : value);
            if (word == "tab")
                return QApplication::focusWidget()->objectName();
        } else if (word == "choose")
            p->chooser->paths << (text.isEmpty() ? "" : path);
        else if (word == "filter")
            p->chooser->filter = text;
        else if (word == "answer" && text.startsWith("Return "))
            p->answers.answerByKey(Qt::Key_Return, find(value));
        else if (word == "answer")
            p->answers.answer(Box::StandardButton(
                QMetaEnum::fromType<Box::StandardButtons>().keyToValue(qPrintable(text))));
        else if (word == "open")
            p->window.openProject(path);
        else if (word == "current")
            table->setCurrentIndex(table->model()->index(text.toInt(), 2));
        else if (word == "reopen")
            p->get<QMenu>("menuOpenRecent")->actions().at(text.toInt() - 1)->trigger();
        else if (QWidget* open = dialog(); word == "close" && !open)
            return "no dialog to close";
        else if (word == "close") {
            QPushButton* last = open->findChildren<QPushButton*>().last();
            last->setFocus();
            QTest::keyClick(last, Qt::Key_Return);
            return open->objectName() +
                   (open->isVisible() && open->close() ? " stayed open" : " closed");
        } else if (word == "drop") {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(QDir(folder).filePath(value))});
            // Where Qt delivers it: a text box's viewport, else the window.
            auto* area = qobject_cast<QAbstractScrollArea*>(named);
            QWidget* to = area ? area->viewport() : named ? named : &p->window;
            QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(to, &enter);
            QApplication::sendEvent(to, &drop);
            QTest::qWait(20); // the file opens once the drop is over
        } else if (word == "boxes")
            return p->answers.shown().join('\n');
        else if (word == "state")
            return !p->window.isVisible()
                       ? "closed"
                       : QStringList{p->get<QLineEdit>("txtProjectName")->text(),
                                     p->get<QPlainTextEdit>("txtTodo")->toPlainText(),
                                     p->get<QRadioButton>("optDate1")->isChecked() ? "on date"
                                                                                   : "right away",
                                     p->get<QCheckBox>("chkExcludeWeekends")->isChecked()
                                         ? "week"
                                         : "every day",
                                     p->window.windowHandle()->title(),
                                     rows()}
                             .join('|');
        else if (word == "rows")
            return rows();
        else if (word == "offered")
            return std::exchange(p->chooser->offered, {}).join('\n');
        else if (word == "calendar")
            return p->get<QCalendarWidget>("Calendar2")->selectedDate().toString(Qt::ISODate);
        else if (word == "text") // of a control, or of an action
            return (named ? named : p->get<QObject>(text))
                ->property(qobject_cast<QComboBox*>(named) ? "currentText" : "text")
                .toString();
        else if (word == "file")
            return bytesOf(path);
        else if (word == "has")
            return bytesOf(path).contains(value.toUtf8()) ? "has" : "lacks";
        else if (word == "tip")
            return timeline->toolTipAt({text.section(' ', 0, 0).toDouble(), value.toDouble()});
        else if (word == "recent") {
            auto* menu = p->get<QMenu>("menuOpenRecent");
            QStringList items;
            for (const QAction* item : menu->actions())
                items << item->text();
            return items.join('|') + (menu->isEnabled() ? "" : " (off)");
        } else if (word == "view") { // the switches, the zoom keys and export button follow it
            const bool shown = timeline->isVisible();
            const int rows = table->model()->rowCount();
            const bool agree = table->isVisible() != shown &&
                               timeline->scene().rowCount() == rows &&
                               p->get<QPushButton>("cmdShowTimeline")->isChecked() == shown &&
                               p->get<QPushButton>("cmdShowSchedule")->isChecked() != shown &&
                               p->get<QAction>("actionZoomIn")->isEnabled() == shown &&
                               p->get("cmdExportTimeline")->isVisible() == (shown && rows > 0);
            return (shown ? "timeline " : "table ") + QString::number(rows) +
                   (agree ? "" : ", the controls disagree");
        } else
            return more ? more(step) : "unknown step " + step;
        return {};
    }
};

} // namespace taskloom::test
