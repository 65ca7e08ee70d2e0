// Rounding, number formats, screen metrics, design scaling and the message hook.
#include "vcl/DesignScale.h"
#include "vcl/Format.h"
#include "vcl/Messages.h"
#include "vcl/Rounding.h"
#include "vcl/Screen.h"

#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QTemporaryFile>
#include <QWidget>
#include <QtTest>

#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <unistd.h>

class TestVcl : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
        TScreen::ResetMetrics();
    }

    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("0.5 down to 0") << 0.5 << 0;
        QTest::newRow("1.5 up to 2") << 1.5 << 2;
        QTest::newRow("2.5 down to 2") << 2.5 << 2;
        QTest::newRow("3.5 up to 4") << 3.5 << 4;
        QTest::newRow("-0.5 to 0") << -0.5 << 0;
        QTest::newRow("-1.5 to -2") << -1.5 << -2;
        QTest::newRow("-2.5 to -2") << -2.5 << -2;
        QTest::newRow("just below half") << 2.4999999 << 2;
        QTest::newRow("just above half") << 2.5000001 << 3;
        QTest::newRow("-2.6") << -2.6 << -3;
        QTest::newRow("arrow point at 1024") << 10 * 1.28 + 74 * 1.28 << 108;
        QTest::newRow("saturates high") << 1e12 << INT_MAX;
        QTest::newRow("saturates low") << -1e12 << INT_MIN;
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0;
    }
    void roundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(RoundHalfEven(value), expected);
    }

    void formatFloat_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("4.2 fits") << "%4.2f" << 3.14159 << "3.14";
        QTest::newRow("4.2 too wide is not cut") << "%4.2f" << 123.456 << "123.46";
        QTest::newRow("4.2 negative zero") << "%4.2f" << -0.001 << "-0.00";
        QTest::newRow("5.2 padded") << "%5.2f" << 1.0 << " 1.00";
        QTest::newRow("5.2 negative") << "%5.2f" << -1.234 << "-1.23";
        QTest::newRow("5.3 padded") << "%5.3f" << 0.5 << "0.500";
        QTest::newRow("5.3 rounds") << "%5.3f" << 0.98765 << "0.988";
        QTest::newRow("3.0 padded") << "%3.0f" << 22.0 << " 22";
        QTest::newRow("3.0 half to even down") << "%3.0f" << 2.5 << "  2";
        QTest::newRow("3.0 half to even up") << "%3.0f" << 3.5 << "  4";
        QTest::newRow("3.0 negative half") << "%3.0f" << -2.5 << " -2";
        QTest::newRow("3.0 wider than width") << "%3.0f" << 1500.4 << "1500";
        QTest::newRow("3.0 rounds up") << "%3.0f" << 99.6 << "100";
    }
    void formatFloat()
    {
        QFETCH(QString, format);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(FormatFloat(format.toLatin1().constData(), value), expected);
    }

    void formatFloatUsesTheUsersDecimalSeparator_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("4.2") << "%4.2f" << 3.14159 << "3,14";
        QTest::newRow("5.2") << "%5.2f" << -1.5 << "-1,50";
        QTest::newRow("5.3") << "%5.3f" << 0.25 << "0,250";
        QTest::newRow("3.0 has none") << "%3.0f" << 7.0 << "  7";
        QTest::newRow("no grouping") << "%5.2f" << 12345.678 << "12345,68";
    }
    void formatFloatUsesTheUsersDecimalSeparator()
    {
        QFETCH(QString, format);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(FormatFloat(format.toLatin1().constData(), value), expected);
    }

    void formatFloatRefusesOtherFormats_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("integer") << "%d";
        QTest::newRow("no conversion") << "%4.2";
        QTest::newRow("no percent") << "4.2f";
        QTest::newRow("trailing text") << "%4.2f m";
        QTest::newRow("empty") << "";
    }
    void formatFloatRefusesOtherFormats()
    {
        QFETCH(QString, format);
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 FormatFloat(format.toLatin1().constData(), 1.0));
    }

    void scaleFactor_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<float>("scale");
        QTest::addColumn<float>("effectiveWidth");
        QTest::newRow("800x600") << 800 << 600 << 1.0f << 800.0f;
        QTest::newRow("1024x768") << 1024 << 768 << 1.28f << 1024.0f;
        QTest::newRow("1280x1024 limited by width") << 1280 << 1024 << 1.6f << 1280.0f;
        QTest::newRow("1920x1080 limited by height") << 1920 << 1080 << 1.8f << 1440.0f;
    }
    void scaleFactor()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(float, scale);
        QFETCH(float, effectiveWidth);
        TScreen::SetMetrics(width, height, 120);
        QCOMPARE(TScreen::Width(), width);
        QCOMPARE(TScreen::Height(), height);
        QCOMPARE(TScreen::PixelsPerInch(), 120);
        QCOMPARE(ScaleFactorForScreen(), scale);
        QCOMPARE(EffectiveScreenWidth(), effectiveWidth);
    }

    void resetMetricsReturnsToThePrimaryScreen()
    {
        TScreen::SetMetrics(1024, 768, 96);
        TScreen::ResetMetrics();
        QVERIFY(!TScreen::HasOverride());
        const QRect g = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(TScreen::Width(), g.width());
        QCOMPARE(TScreen::Height(), g.height());
    }

    void designScale_data()
    {
        QTest::addColumn<float>("scale");
        QTest::addColumn<double>("design");
        QTest::addColumn<int>("pixels");
        QTest::newRow("1.0 keeps") << 1.0f << 724.0 << 724;
        QTest::newRow("1.28 of 25") << 1.28f << 25.0 << 32;
        QTest::newRow("1.28 of 724") << 1.28f << 724.0 << 927;
        QTest::newRow("1.5 of 1: half up to even") << 1.5f << 1.0 << 2;
        QTest::newRow("1.5 of 3: half down to even") << 1.5f << 3.0 << 4;
        QTest::newRow("1.5 of 5") << 1.5f << 5.0 << 8;
        QTest::newRow("1.8 of 180") << 1.8f << 180.0 << 324;
    }
    void designScale()
    {
        QFETCH(float, scale);
        QFETCH(double, design);
        QFETCH(int, pixels);
        QCOMPARE(TDesignScale(scale).px(design), pixels);
    }

    void designScalePlacesControlsAndFonts()
    {
        const TDesignScale s(1.28f);
        QWidget parent;
        auto* child = new QWidget(&parent);
        s.place(child, 5, 4, 724, 380);
        // Each number is scaled on its own: 6.4, 5.12, 926.72, 486.4.
        QCOMPARE(child->geometry(), QRect(6, 5, 927, 486));
        QCOMPARE(s.size(748, 564), QSize(957, 722));
        const QFont f = s.font(QStringLiteral("Arial Black"), 20, true);
        QCOMPARE(f.pixelSize(), 26);
        QVERIFY(f.bold());
        QCOMPARE(TDesignScale(0.01f).font(QStringLiteral("Arial"), 13).pixelSize(), 1);
    }

    void recorderCatchesMessagesAndNests()
    {
        TMessageRecorder outer;
        ShowMessage(QStringLiteral("first"));
        {
            TMessageRecorder inner;
            ShowMessage(QStringLiteral("second"));
            QCOMPARE(inner.messages(), QStringList{QStringLiteral("second")});
        }
        ShowMessage(QStringLiteral("third"));
        QCOMPARE(outer.messages(), (QStringList{QStringLiteral("first"), QStringLiteral("third")}));
    }

    // Nobody can press OK on the offscreen platform: the text goes to stderr
    // instead of a dialog that would wait for ever.
    void messageWithoutRecorderGoesToStderrOffscreen()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
        QTemporaryFile capture;
        QVERIFY(capture.open());
        std::fflush(stderr);
        const int saved = dup(fileno(stderr));
        QVERIFY(saved >= 0);
        QVERIFY(dup2(capture.handle(), fileno(stderr)) >= 0);
        ShowMessage(QStringLiteral("Bitmap Fan1 not in BitmapTable"));
        std::fflush(stderr);
        dup2(saved, fileno(stderr));
        close(saved);
        QFile read(capture.fileName());
        QVERIFY(read.open(QIODevice::ReadOnly));
        QCOMPARE(read.readAll(), QByteArray("Bitmap Fan1 not in BitmapTable\n"));
    }
};

QTEST_MAIN(TestVcl)
#include "tst_vcl.moc"
