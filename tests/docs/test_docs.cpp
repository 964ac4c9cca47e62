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
        blocks << Block{
            m.captured(1), m.captured(2),
            m.captured(3).replace("&lt;", "<").replace("&gt;", ">").replace("&amp;", "&")};
    return blocks;
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
            QTemporaryDir dir;
            const QString bin = dir.filePath("bin/");
            QVERIFY(QDir().mkpath(bin) && QFile::copy(qApp->applicationDirPath() + "/taskloom-cli",
                                                      bin + "taskloom-cli"));
            for (const QString& data : QDir(Source + "/data").entryList({"*.txt"}))
                QVERIFY(QFile::copy(Source + "/data/" + data, bin + data));
            // No date from the tests' environment; then the document's own exports.
            QString exports =
                "unset TASKLOOM_TODAY SOURCE_DATE_EPOCH XDG_CONFIG_HOME\nexport PATH='" + bin +
                "':\"$PATH\" HOME='" + dir.filePath("home") + "'\n";
            int examples = 0;
            for (const Block& block : blocksOf(path, text)) {
                examples += block.kind == "example";
                if (block.kind == "file") {
                    QVERIFY(put(dir.filePath(block.name), block.text.toUtf8()));
                    continue;
                }
                for (const QString& step : block.text.split(
                         QRegularExpression("^\\$ ", QRegularExpression::MultilineOption),
                         Qt::SkipEmptyParts)) {
                    const QString command = step.section('\n', 0, 0);
                    const QString shown = step.section('\n', 1);
                    QProcess sh;
                    sh.setWorkingDirectory(dir.path());
                    sh.setProcessChannelMode(QProcess::MergedChannels);
                    sh.start("sh", {"-c", exports + command});
                    QVERIFY(sh.waitForFinished(30000));
                    const QString printed = QString::fromUtf8(sh.readAll()).remove('\r');
                    QVERIFY2(printed == shown,
                             qPrintable(QFileInfo(path).fileName() + ": $ " + command +
                                        "\nprinted:\n" + printed + "shown:\n" + shown));
                    if (command.startsWith("export "))
                        exports += command + '\n';
                }
            }
            // A marking the reader above misses would otherwise pass unseen.
            QCOMPARE(examples,
                     text.count(QRegularExpression("^<pre class=\"example|^```\\w* example",
                                                   QRegularExpression::MultilineOption)));
        }
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
