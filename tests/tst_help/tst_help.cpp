// The in-program help window, on the real help file beside the program.

#include "HelpViewer.h"
#include "vcl/Messages.h"

#include <QDir>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextCursor>
#include <QtTest>

class TestHelp : public QObject {
    Q_OBJECT

private:
    // True when the anchor's line lies inside the visible part of the page.
    static bool AnchorVisible(QTextBrowser* browser, const QString& topic)
    {
        const int position = FindHelpAnchor(browser->document(), topic);
        if (position < 0)
            return false;
        QTextCursor cursor(browser->document());
        cursor.setPosition(position);
        return browser->viewport()->rect().contains(browser->cursorRect(cursor));
    }

private slots:
    void init()
    {
        if (SharedHelpViewer())
            SharedHelpViewer()->hide();
    }

    void helpFileIsBesideTheProgram()
    {
        QVERIFY2(QFileInfo(DefaultHelpFilePath()).isFile(), qPrintable(DefaultHelpFilePath()));
        QCOMPARE(QFileInfo(DefaultHelpFilePath()).dir().dirName(), QStringLiteral("Help"));
    }

    void opensAtTopic_data()
    {
        QTest::addColumn<QString>("topic");
        QTest::newRow("main window") << QStringLiteral("Main_System");
        QTest::newRow("close-up") << QStringLiteral("Zoom");
        QTest::newRow("calibration") << QStringLiteral("Calibration_Form");
    }

    void opensAtTopic()
    {
        QFETCH(QString, topic);
        TMessageRecorder recorder;
        ShowHelpFile(DefaultHelpFilePath(), topic);
        QVERIFY2(recorder.messages().isEmpty(), qPrintable(recorder.messages().join('\n')));

        THelpViewer* viewer = SharedHelpViewer();
        QVERIFY(viewer);
        QVERIFY(viewer->isVisible());
        QVERIFY(viewer->isWindow());
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Corvane-Air Calorift Help"));
        QCOMPARE(LastShownHelpTopic(), topic);
        QVERIFY(FindHelpAnchor(viewer->Browser->document(), topic) >= 0);
        QVERIFY2(AnchorVisible(viewer->Browser, topic), "the page is not scrolled to the topic");
    }

    // The same viewer, reused: a later topic scrolls back up to an earlier one.
    void oneViewerForAllTopics()
    {
        ShowHelpFile(DefaultHelpFilePath(), QStringLiteral("Calibration_Form"));
        THelpViewer* first = SharedHelpViewer();
        const int low = first->Browser->verticalScrollBar()->value();
        ShowHelpFile(DefaultHelpFilePath(), QStringLiteral("Main_System"));
        QCOMPARE(SharedHelpViewer(), first);
        QVERIFY(first->Browser->verticalScrollBar()->value() < low);
        QVERIFY(AnchorVisible(first->Browser, QStringLiteral("Main_System")));
    }

    void backAndForward()
    {
        ShowHelpFile(DefaultHelpFilePath(), QStringLiteral("Zoom"));
        ShowHelpFile(DefaultHelpFilePath(), QStringLiteral("Calibration_Form"));
        THelpViewer* viewer = SharedHelpViewer();
        QVERIFY(viewer->BtnBack->isEnabled());

        QTest::mouseClick(viewer->BtnBack, Qt::LeftButton);
        QCOMPARE(viewer->Browser->source().fragment(), QStringLiteral("Zoom"));
        QVERIFY(viewer->BtnForward->isEnabled());

        QTest::mouseClick(viewer->BtnForward, Qt::LeftButton);
        QCOMPARE(viewer->Browser->source().fragment(), QStringLiteral("Calibration_Form"));

        QTest::mouseClick(viewer->BtnClose, Qt::LeftButton);
        QVERIFY(!viewer->isVisible());
    }

    void missingFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("no such file") << QDir::temp().filePath(QStringLiteral("no-such-dir/Corv_Air.html"));
        QTest::newRow("a folder") << QDir::tempPath();
        QTest::newRow("empty path") << QString();
    }

    void missingFile()
    {
        QFETCH(QString, path);
        ShowHelpFile(DefaultHelpFilePath(), QStringLiteral("Zoom"));
        SharedHelpViewer()->hide();

        TMessageRecorder recorder;
        ShowHelpFile(path, QStringLiteral("Zoom"));
        QCOMPARE(recorder.messages(), QStringList{QStringLiteral("Help file not found: ") + path});
        QVERIFY(!SharedHelpViewer()->isVisible());
    }

    void missingTopic()
    {
        TMessageRecorder recorder;
        ShowHelpFile(DefaultHelpFilePath(), QStringLiteral("No_Such_Topic"));
        QCOMPARE(recorder.messages(), QStringList{QStringLiteral("Help topic not found: No_Such_Topic")});
        // The file is still there to read.
        QVERIFY(SharedHelpViewer()->isVisible());
        QVERIFY(LastShownHelpTopic().isEmpty());
    }

    // Another help file (a fixture) replaces the page, and its own topics count.
    void otherFileReplacesThePage()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("Other.html"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html><body><h1><a name=\"Only\">Only topic</a></h1><p>Text.</p></body></html>");
        file.close();

        TMessageRecorder recorder;
        ShowHelpFile(path, QStringLiteral("Zoom"));
        QCOMPARE(recorder.messages(), QStringList{QStringLiteral("Help topic not found: Zoom")});
        recorder.clear();
        ShowHelpFile(path, QStringLiteral("Only"));
        QVERIFY(recorder.messages().isEmpty());
        QCOMPARE(LastShownHelpTopic(), QStringLiteral("Only"));

        ShowHelpFile(DefaultHelpFilePath(), QStringLiteral("Zoom"));
        QVERIFY(recorder.messages().isEmpty());
        QCOMPARE(LastShownHelpTopic(), QStringLiteral("Zoom"));
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
