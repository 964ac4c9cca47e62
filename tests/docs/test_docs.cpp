// The documents tell the truth: every example marked in the README and the
// handbook prints what it shows, every link and picture of the handbook is
// there, and F1 opens the handbook shipped beside the program.
#include "testfiles.h"
#include "ui/helpmenu.h"
#include "ui/mainwindow.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

using namespace taskloom;
using taskloom::test::bytesOf;
using taskloom::test::put;

namespace {

const QString Source = TASKLOOM_SOURCE_DIR;

QStringList documents()
{
    QStringList paths{Source + "/README.md"};
    for (const QString& page : QDir(Source + "/docs/handbook").entryList({"*.html"}))
        paths << Source + "/docs/handbook/" + page;
    return paths;
}

// The marked blocks in the order they stand: a file to write (kind "file",
// with its name) or an example to run. In the README a fence's info string
// marks them ("sh example", "text file=tasks.txt"), in the handbook a pre's
// class and title.
// HTML's escaped characters as a reader sees them.
QString readable(QString html)
{
    return html.replace("&lt;", "<")
        .replace("&gt;", ">")
        .replace("&quot;", "\"")
        .replace("&amp;", "&");
}

struct Block {
    QString kind, name, text;
};
QList<Block> blocksOf(const QString& path, const QString& text)
{
    using RE = QRegularExpression;
    static const RE fence("^```\\w* (example|file)(?:=(\\S+))?\\n(.*?)^```",
                          RE::DotMatchesEverythingOption | RE::MultilineOption);
    static const RE pre("<pre class=\"(example|file)\"(?: title=\"([^\"]+)\")?>(.*?)</pre>",
                        RE::DotMatchesEverythingOption);
    QList<Block> blocks;
    for (auto m : (path.endsWith(".md") ? fence : pre).globalMatch(text))
        blocks << Block{m.captured(1), m.captured(2), readable(m.captured(3))};
    return blocks;
}

// A folder with a portable copy of taskloom-cli and the shipped settings in
// bin/, and the shell lines that put it first on the PATH, with no date or
// settings folder from the tests' environment.
struct Sandbox {
    QTemporaryDir dir;
    QString exports;
    Sandbox()
    {
        const QString bin = dir.filePath("bin/");
        QDir().mkpath(bin);
        QFile::copy(qApp->applicationDirPath() + "/taskloom-cli", bin + "taskloom-cli");
        for (const QString& data : QDir(Source + "/data").entryList({"*.txt"}))
            QFile::copy(Source + "/data/" + data, bin + data);
        exports = "unset TASKLOOM_TODAY SOURCE_DATE_EPOCH XDG_CONFIG_HOME\nexport PATH='" + bin +
                  "':\"$PATH\" HOME='" + dir.filePath("home") + "'\n";
    }
    // What a command prints, standard error included.
    QString run(const QString& command) const
    {
        QProcess sh;
        sh.setWorkingDirectory(dir.path());
        sh.setProcessChannelMode(QProcess::MergedChannels);
        sh.start("sh", {"-c", exports + command});
        return sh.waitForFinished(30000) ? QString::fromUtf8(sh.readAll()).remove('\r')
                                         : "(still running after 30 s)";
    }
};

// A page's words as a reader sees them: tags as blanks, entities read, one blank
// between words.
QString wordsOf(const QString& page)
{
    return readable(QString::fromUtf8(bytesOf(Source + "/docs/handbook/" + page))
                        .replace(QRegularExpression("<[^>]*>"), " "))
        .simplified();
}

} // namespace

class TestDocs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each "$ " line is a command for sh, run in a folder of its document's
    // files with a portable copy of taskloom-cli and the shipped settings on
    // the PATH; what follows up to the next "$ " is all it prints, standard
    // error included. An "export" holds for the document's later commands.
    void examplesPrintWhatTheyShow()
    {
        for (const QString& path : documents()) {
            const QString text = QString::fromUtf8(bytesOf(path));
            Sandbox box;
            int examples = 0;
            for (const Block& block : blocksOf(path, text)) {
                examples += block.kind == "example";
                if (block.kind == "file") {
                    QVERIFY(put(box.dir.filePath(block.name), block.text.toUtf8()));
                    continue;
                }
                for (const QString& step : block.text.split(
                         QRegularExpression("^\\$ ", QRegularExpression::MultilineOption),
                         Qt::SkipEmptyParts)) {
                    const QString command = step.section('\n', 0, 0);
                    const QString shown = step.section('\n', 1);
                    const QString printed = box.run(command);
                    QVERIFY2(printed == shown,
                             qPrintable(QFileInfo(path).fileName() + ": $ " + command +
                                        "\nprinted:\n" + printed + "shown:\n" + shown));
                    if (command.startsWith("export "))
                        box.exports += command + '\n';
                }
            }
            // A marking the reader above misses would otherwise pass unseen.
            QCOMPARE(examples,
                     text.count(QRegularExpression("^<pre class=\"example|^```\\w* example",
                                                   QRegularExpression::MultilineOption)));
        }
    }

    // The messages chapter holds what the program says, word for word ("…"
    // standing for a name or a number), and the handbook's limits are the
    // program's: at most 8 recent files, pictures from 400 pixels wide.
    void messagesAsTheProgramSaysThem()
    {
        const QString chapter = QString::fromUtf8(bytesOf(Source + "/docs/handbook/messages.html"));
        QList<QRegularExpression> messages;
        for (const auto& m : QRegularExpression("<(?:td|li)>(.*?)</(?:td|li)>",
                                                QRegularExpression::DotMatchesEverythingOption)
                                 .globalMatch(chapter)) {
            QStringList parts = readable(m.captured(1)).simplified().split("…");
            for (QString& part : parts)
                part = QRegularExpression::escape(part);
            messages << QRegularExpression('^' + parts.join(".+") + '$');
        }
        const Sandbox box;
        const QString printed = box.run(
            "echo 'Paint + 3' > tasks.txt\n"
            "taskloom-cli --chart-width 399 --chart plan.svg tasks.txt\n"
            "taskloom-cli --chart-width 16385 --chart plan.png tasks.txt\n"
            "taskloom-cli --start 2020-01-06 tasks.txt\n"
            "printf %0201d 0 > bin/workingday_starts_at.txt; taskloom-cli --csv - tasks.txt");
        QCOMPARE(printed.count('\n'), 6); // two usage errors add a line each
        const QString words = wordsOf("messages.html");
        for (QString line : printed.split('\n', Qt::SkipEmptyParts)) {
            line.remove("taskloom-cli: ");
            QVERIFY2(words.contains(line) || std::any_of(messages.begin(), messages.end(),
                                                         [&](const auto& message) {
                                                             return message.match(line).hasMatch();
                                                         }),
                     qPrintable(line));
        }
        QVERIFY(wordsOf("projects.html").contains("Open Recent the last 8 files"));
        QVERIFY(wordsOf("command-line.html").contains("picture's width, from 400,"));
    }

    // Every link and picture of the handbook: the file is there, the anchor
    // in it, the picture readable. Web addresses are not followed.
    void linksAndPicturesResolve()
    {
        const QRegularExpression link("(?:href|src)=\"(?!https://)([^\"#]*)#?([^\"]*)\"");
        for (const QString& path : documents().mid(1)) {
            const QString text = QString::fromUtf8(bytesOf(path));
            for (const auto& m : link.globalMatch(text)) {
                const QString file = m.captured(1), anchor = m.captured(2);
                const QString resolved =
                    file.isEmpty() ? path : QFileInfo(path).dir().filePath(file);
                QVERIFY2(QFileInfo(resolved).isFile() &&
                             (anchor.isEmpty() ||
                              bytesOf(resolved).contains("id=\"" + anchor.toUtf8() + '"')) &&
                             (!file.endsWith(".png") || !QImage(resolved).isNull()),
                         qPrintable(QFileInfo(path).fileName() + ": " + m.captured()));
            }
        }
    }

    // F1 hands the handbook beside the program to the browser; when none
    // opens, Taskloom's own window shows it, its links and pictures working.
    void f1OpensTheHandbook()
    {
        const QString index = qApp->applicationDirPath() + "/handbook/index.html";
        for (const bool browserOpens : {true, false}) {
            QTemporaryDir dir;
            MainWindow window(AppFolders::beside(dir.path()), [] { return QDate(2026, 12, 7); });
            window.show();
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            auto* help = window.findChild<HelpMenu*>();
            QVERIFY(help);
            QUrl asked;
            help->setBrowser([&](const QUrl& page) {
                asked = page;
                return browserOpens;
            });
            QTest::keyClick(&window, Qt::Key_F1);
            QCOMPARE(asked, QUrl::fromLocalFile(index));
            auto* reader = window.findChild<QTextBrowser*>("handbookReader");
            QCOMPARE(reader && reader->isVisible(), !browserOpens);
            if (browserOpens)
                continue;
            QCOMPARE(reader->documentTitle(), "Taskloom Handbook");
            reader->setSource(QUrl("getting-started.html"));
            QCOMPARE(reader->documentTitle(), "Getting started — Taskloom Handbook");
            QVERIFY(!reader->loadResource(QTextDocument::ImageResource, QUrl("pictures/window.png"))
                         .toByteArray()
                         .isEmpty());
        }
    }
};

QTEST_MAIN(TestDocs)
#include "test_docs.moc"
