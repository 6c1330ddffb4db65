#include "common/numbertext.h"
#include "common/rounding.h"
#include "editing/settingsfields.h"

#include <QTest>

#include <limits>

using namespace Vorlane;

Q_DECLARE_METATYPE(Vorlane::SettingsFields)
Q_DECLARE_METATYPE(Vorlane::SettingsField)

namespace {

// A canvas of 433 × 390 pixels.
const QSize outer(6495, 5850);

SettingsFields typed(const QString &resolution, const QString &totalPoints,
                     const QString &scaleX = QStringLiteral(" 1"), const QString &scaleY = QStringLiteral(" 1"))
{
    return SettingsFields{resolution, totalPoints, scaleX, scaleY};
}

} // namespace

class TestSettingsFields : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldsShowTheSettings();
    void startupScalesShowAsOne_data();
    void startupScalesShowAsOne();
    void typedValuesAreRoundedHalfToEven_data();
    void typedValuesAreRoundedHalfToEven();
    void scalesAreDividedByTheOuterSize();
    void badValuesAreRefusedNamingTheField_data();
    void badValuesAreRefusedNamingTheField();
    void canvasWithoutSizeRefusesTheScale();
};

void TestSettingsFields::fieldsShowTheSettings()
{
    const RenderSettings settings{45000, 20, 2.0f / 6495.0f, 0.5f / 5850.0f};
    QCOMPARE(settingsFields(settings, outer), (SettingsFields{" 20", " 45000", " 2", " .5"}));
    QCOMPARE(settingsFields(RenderSettings{-7, -1, 0, 0}, outer), (SettingsFields{"-1", "-7", " 0", " 0"}));
}

void TestSettingsFields::startupScalesShowAsOne_data()
{
    QTest::addColumn<int>("pixels");
    QTest::addColumn<QString>("shown");
    QTest::newRow("433 pixels") << 433 << " 1";
    QTest::newRow("103 pixels") << 103 << " .9999999";
}

void TestSettingsFields::startupScalesShowAsOne()
{
    QFETCH(int, pixels);
    QFETCH(QString, shown);
    const int twips = pixels * 15;
    const RenderSettings settings{1, 1, toSingle(1.0 / twips), toSingle(1.0 / twips)};
    QCOMPARE(settingsFields(settings, QSize(twips, twips)).scaleX, shown);
}

void TestSettingsFields::typedValuesAreRoundedHalfToEven_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint16>("resolution");
    QTest::addColumn<qint32>("totalPoints");
    QTest::newRow("7.5 up") << "7.5" << qint16(8) << 8;
    QTest::newRow("6.5 down") << "6.5" << qint16(6) << 6;
    QTest::newRow("2.5 down") << "2.5" << qint16(2) << 2;
    QTest::newRow("blank around") << " 2 0 " << qint16(20) << 20;
    QTest::newRow("largest") << "32767" << qint16(32767) << 32767;
}

void TestSettingsFields::typedValuesAreRoundedHalfToEven()
{
    QFETCH(QString, text);
    QFETCH(qint16, resolution);
    QFETCH(qint32, totalPoints);
    const std::optional<RenderSettings> settings = settingsFromFields(typed(text, text), outer, nullptr);
    QVERIFY(settings);
    QCOMPARE(settings->resolution, resolution);
    QCOMPARE(settings->totalPoints, totalPoints);
}

void TestSettingsFields::scalesAreDividedByTheOuterSize()
{
    std::optional<RenderSettings> settings = settingsFromFields(typed("20", "", " 1", "-2"), outer, nullptr);
    QVERIFY(settings);
    QCOMPARE(settings->scaleX, toSingle(1.0 / 6495.0));
    QCOMPARE(settings->scaleY, toSingle(-2.0 / 5850.0));
    QCOMPARE(settings->totalPoints, 0); // an empty field
    settings = settingsFromFields(typed("20", "-5", "1e60", "-1e60"), outer, nullptr);
    QVERIFY(settings);
    QCOMPARE(settings->totalPoints, -5); // renders nothing, but is taken
    QCOMPARE(settings->scaleX, std::numeric_limits<float>::max());
    QCOMPARE(settings->scaleY, -std::numeric_limits<float>::max());
    settings = settingsFromFields(typed("20", "2147483647"), outer, nullptr);
    QVERIFY(settings);
    QCOMPARE(settings->totalPoints, std::numeric_limits<qint32>::max());
}

void TestSettingsFields::badValuesAreRefusedNamingTheField_data()
{
    QTest::addColumn<SettingsFields>("fields");
    QTest::addColumn<SettingsField>("field");
    QTest::addColumn<QString>("named");
    const QString resolution = QStringLiteral("Resolution");
    const QString points = QStringLiteral("Total no. of points");
    QTest::newRow("resolution 0") << typed("0", "100") << SettingsField::Resolution << resolution;
    QTest::newRow("resolution rounds to 0") << typed(".5", "100") << SettingsField::Resolution << resolution;
    QTest::newRow("resolution negative") << typed("-3", "100") << SettingsField::Resolution << resolution;
    QTest::newRow("resolution empty") << typed("", "100") << SettingsField::Resolution << resolution;
    QTest::newRow("resolution beyond 16 bits") << typed("32767.5", "100") << SettingsField::Resolution << resolution;
    QTest::newRow("points beyond 32 bits") << typed("20", "2147483648") << SettingsField::TotalPoints << points;
    QTest::newRow("points below 32 bits") << typed("20", "-3e9") << SettingsField::TotalPoints << points;
    QTest::newRow("scale X 0") << typed("20", "100", "0") << SettingsField::ScaleX << "Scale along X-axis";
    QTest::newRow("scale X not a number") << typed("20", "100", "x") << SettingsField::ScaleX << "Scale along X-axis";
    QTest::newRow("scale X below float")
        << typed("20", "100", "1e-50") << SettingsField::ScaleX << "Scale along X-axis";
    QTest::newRow("scale Y 0") << typed("20", "100", "1", "") << SettingsField::ScaleY << "Scale along Y-axis";
    QTest::newRow("first in the dialog's order") << typed("0", "", "0", "0") << SettingsField::Resolution << resolution;
}

void TestSettingsFields::badValuesAreRefusedNamingTheField()
{
    QFETCH(SettingsFields, fields);
    QFETCH(SettingsField, field);
    QFETCH(QString, named);
    SettingsProblem problem;
    QCOMPARE(settingsFromFields(fields, outer, &problem), std::nullopt);
    QCOMPARE(problem.field, field);
    QVERIFY2(problem.text.startsWith(named), qPrintable(problem.text));
}

void TestSettingsFields::canvasWithoutSizeRefusesTheScale()
{
    SettingsProblem problem;
    QCOMPARE(settingsFromFields(typed("20", "100"), QSize(0, 0), &problem), std::nullopt);
    QCOMPARE(problem.field, SettingsField::ScaleX);
}

QTEST_GUILESS_MAIN(TestSettingsFields)
#include "tst_settingsfields.moc"
