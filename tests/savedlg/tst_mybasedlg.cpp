#include "browser/mybasedlg.h"
#include "platform/zapplication.h"
#include "testprobe.h"
#include "testsupport.h"

#include <functional>

// A dialog that records every done() reaching it, as a subclass that overrides done() would.
class RecordingDlg : public MyBaseDlg
{
    Q_OBJECT

public:
    using MyBaseDlg::accept;
    using MyBaseDlg::reject;

    void done(int r) override
    {
        doneCalls.append(r);
        MyBaseDlg::done(r);
    }

    QList<int> doneCalls;
};

class MyBaseDlgTest : public QObject
{
    Q_OBJECT

private:
    // Runs the dialog with the action queued to act inside its nested loop.
    static int runWith(RecordingDlg &dialog, const std::function<void()> &action)
    {
        QTimer::singleShot(0, &dialog, action);
        return dialog.exec();
    }

private slots:
    void resultOfARun_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<int>("expected");
        QTest::newRow("accept") << "accept" << 1;
        QTest::newRow("reject") << "reject" << 0;
        QTest::newRow("done(5)") << "done" << 5;
    }
    void resultOfARun()
    {
        QFETCH(QString, ending);
        QFETCH(int, expected);
        RecordingDlg dialog;
        QCOMPARE(dialog.objectName(), QStringLiteral("ZMainWidget"));
        QVERIFY(!dialog.isVisible());
        const int outerLevel = zApp->loopLevel();
        bool shownAndModal = false;
        const int returned = runWith(dialog, [&] {
            shownAndModal = dialog.isVisible() && TestProbe::inLoop(dialog) &&
                            QApplication::activeModalWidget() == &dialog &&
                            zApp->loopLevel() == outerLevel + 1;
            if (ending == "accept")
                dialog.accept();
            else if (ending == "reject")
                dialog.reject();
            else
                dialog.done(expected);
        });
        QVERIFY(shownAndModal);
        QCOMPARE(returned, expected);
        // accept() and reject() reach a subclass's done() through the virtual call.
        QCOMPARE(dialog.doneCalls, QList<int>({expected}));
        QVERIFY(!dialog.isVisible());
        QVERIFY(!TestProbe::inLoop(dialog));
        QCOMPARE(zApp->loopLevel(), outerLevel);
    }

    void doneWithoutARunLeavesNoLoop()
    {
        RecordingDlg outer;
        RecordingDlg idle;
        idle.show();
        bool outerRanOn = false;
        const int returned = runWith(outer, [&] {
            idle.done(3);
            QTimer::singleShot(20, &outer, [&] {
                outerRanOn = outer.isVisible() && TestProbe::inLoop(outer);
                outer.accept();
            });
        });
        QCOMPARE(returned, 1);
        QVERIFY(outerRanOn);
        QVERIFY(!idle.isVisible());
        QCOMPARE(TestProbe::result(idle), 3);
        QVERIFY(!TestProbe::inLoop(idle));
    }

    void theSecondOfTwoDoneCallsSetsTheResult()
    {
        RecordingDlg dialog;
        const int outerLevel = zApp->loopLevel();
        const int returned = runWith(dialog, [&] {
            dialog.done(2);
            dialog.done(7);
        });
        QCOMPARE(returned, 7);
        QCOMPARE(dialog.doneCalls, QList<int>({2, 7}));
        QCOMPARE(zApp->loopLevel(), outerLevel);
        // The dialog can run again.
        QCOMPARE(runWith(dialog, [&] { dialog.accept(); }), 1);
    }

    void closingTheWindowEndsTheRunLikeReject()
    {
        RecordingDlg dialog;
        QCOMPARE(runWith(dialog, [&] { dialog.close(); }), 0);
        QCOMPARE(dialog.doneCalls, QList<int>({0}));
        QVERIFY(!dialog.isVisible());

        // Outside a run, closing only hides the window.
        dialog.show();
        dialog.close();
        QCOMPARE(dialog.doneCalls, QList<int>({0}));
    }

    void theMainWidgetQuitsTheApplication()
    {
        RecordingDlg dialog;
        zApp->setMainWidget(&dialog);
        int returned = -1;
        QTimer::singleShot(0, &dialog,
                           [&] { returned = runWith(dialog, [&] { dialog.accept(); }); });
        QTimer safety;
        safety.setSingleShot(true);
        connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        safety.start(5000);
        const int exitCode = zApp->exec();
        zApp->setMainWidget(nullptr);
        QCOMPARE(exitCode, 0);
        QCOMPARE(returned, 1);
    }
};

PICTALUX_TEST_MAIN(MyBaseDlgTest)
#include "tst_mybasedlg.moc"
