#include "editing/transformationfields.h"

#include <QTest>

#include <limits>

using namespace Vorlane;

namespace {

constexpr float largestFloat = std::numeric_limits<float>::max();

RenderSettings scales(float scaleX, float scaleY)
{
    return RenderSettings{45000, 20, scaleX, scaleY};
}

Transformation named(const QString &name, float value)
{
    return Transformation{paddedTrName(name), {value, value}, value, {value, value}};
}

FractalDocument documentWith(int count)
{
    FractalDocument document;
    for (int i = 1; i <= count; ++i)
        document.transformations.append(named(QStringLiteral("Tr %1").arg(i), float(i)));
    document.trNameCounter = qint16(count + 1);
    return document;
}

} // namespace

class TestTransformationFields : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void translationsShowInDisplayUnitsAndComeBack_data();
    void translationsShowInDisplayUnitsAndComeBack();
    void typedTextIsStoredAsFiniteFloats_data();
    void typedTextIsStoredAsFiniteFloats();
    void overflowingDisplayValueStaysFinite();
    void addWithoutNameUsesTheCounter_data();
    void addWithoutNameUsesTheCounter();
    void addRefusesTheFiftyFirst();
    void removeOfNoTransformationChangesNothing_data();
    void removeOfNoTransformationChangesNothing();
};

void TestTransformationFields::translationsShowInDisplayUnitsAndComeBack_data()
{
    QTest::addColumn<float>("scale");
    QTest::addColumn<float>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("scale 2") << 2.0f << 0.25f << " .5";
    QTest::newRow("view scale 1") << 1.0f << 2000.0f << " 2000";
    QTest::newRow("negative") << 0.5f << -3.0f << "-1.5";
}

void TestTransformationFields::translationsShowInDisplayUnitsAndComeBack()
{
    QFETCH(float, scale);
    QFETCH(float, stored);
    QFETCH(QString, shown);
    const Transformation transformation{paddedTrName(QStringLiteral("a")), {0.5f, 0.25f}, -40.0f, {stored, stored}};
    const TransformationFields fields = transformationFields(transformation, scales(scale, scale));
    QCOMPARE(fields.translationX, shown);
    QCOMPARE(fields.translationY, shown);
    QCOMPARE(fields.contractionX, QStringLiteral(" .5"));
    QCOMPARE(fields.rotation, QStringLiteral("-40"));
    QCOMPARE(fields.name, QStringLiteral("a       "));
    QCOMPARE(transformationFromFields(fields, scales(scale, scale)), transformation);
}

void TestTransformationFields::typedTextIsStoredAsFiniteFloats_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("scale");
    QTest::addColumn<float>("value");
    QTest::addColumn<float>("translation");
    QTest::newRow("empty") << "" << 1.0f << 0.0f << 0.0f;
    QTest::newRow("not a number") << "abc" << 1.0f << 0.0f << 0.0f;
    QTest::newRow("rounded to float") << " .6" << 1.0f << 0.6f << 0.6f;
    QTest::newRow("divided by the scale") << "3" << 4.0f << 3.0f << 0.75f;
    QTest::newRow("beyond float") << "1e39" << 1.0f << largestFloat << largestFloat;
    QTest::newRow("beyond float, negative") << "-1e39" << 1.0f << -largestFloat << -largestFloat;
    QTest::newRow("quotient beyond float") << "1e30" << 1e-10f << 1e30f << largestFloat;
    QTest::newRow("zero scale") << "5" << 0.0f << 5.0f << largestFloat;
    QTest::newRow("zero scale, negative") << "-5" << 0.0f << -5.0f << -largestFloat;
    QTest::newRow("zero over zero scale") << "0" << 0.0f << 0.0f << 0.0f;
}

void TestTransformationFields::typedTextIsStoredAsFiniteFloats()
{
    QFETCH(QString, text);
    QFETCH(float, scale);
    QFETCH(float, value);
    QFETCH(float, translation);
    const TransformationFields fields{QString(), text, text, text, text, text};
    const Transformation stored = transformationFromFields(fields, scales(scale, scale));
    QCOMPARE(stored.contraction[0], value);
    QCOMPARE(stored.contraction[1], value);
    QCOMPARE(stored.rotation, value);
    QCOMPARE(stored.translation[0], translation);
    QCOMPARE(stored.translation[1], translation);
    QCOMPARE(stored.name, QString(trNameLength, QLatin1Char(' ')));
}

void TestTransformationFields::overflowingDisplayValueStaysFinite()
{
    const Transformation transformation = named(QStringLiteral("big"), 1e30f);
    const TransformationFields fields = transformationFields(transformation, scales(1e20f, 1e20f));
    QCOMPARE(fields.translationX, QStringLiteral(" 3.402823E+38"));
    const Transformation accepted = transformationFromFields(fields, scales(1e20f, 1e20f));
    QVERIFY(accepted.translation[0] > 3e18f);
}

void TestTransformationFields::addWithoutNameUsesTheCounter_data()
{
    QTest::addColumn<qint16>("counter");
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint16>("nextCounter");
    QTest::newRow("fourth") << qint16(4) << "Tr 4    " << qint16(5);
    QTest::newRow("largest") << qint16(32767) << "Tr 32767" << qint16(32767);
    QTest::newRow("negative from a file") << qint16(-3) << "Tr-3    " << qint16(-2);
}

void TestTransformationFields::addWithoutNameUsesTheCounter()
{
    QFETCH(qint16, counter);
    QFETCH(QString, name);
    QFETCH(qint16, nextCounter);
    FractalDocument document = documentWith(3);
    document.trNameCounter = counter;
    QCOMPARE(addTransformation(document, QString()), std::optional<QString>(name));
    QCOMPARE(document.trCount(), 4);
    QCOMPARE(document.trNameCounter, nextCounter);
    QCOMPARE(document.transformations.last(), (Transformation{name, {0, 0}, 0, {0, 0}}));
}

void TestTransformationFields::addRefusesTheFiftyFirst()
{
    FractalDocument document = documentWith(maxTransformations);
    const FractalDocument before = document;
    QCOMPARE(addTransformation(document, QString()), std::nullopt);
    QCOMPARE(addTransformation(document, QStringLiteral("named")), std::nullopt);
    QCOMPARE(document, before);
}

void TestTransformationFields::removeOfNoTransformationChangesNothing_data()
{
    QTest::addColumn<int>("number");
    QTest::newRow("none selected") << 0;
    QTest::newRow("beyond the last") << 5;
    QTest::newRow("negative") << -1;
}

void TestTransformationFields::removeOfNoTransformationChangesNothing()
{
    QFETCH(int, number);
    FractalDocument document = documentWith(4);
    const FractalDocument before = document;
    QVERIFY(!removeTransformation(document, number));
    QVERIFY(!hasTransformation(document, number));
    QCOMPARE(document, before);
}

QTEST_GUILESS_MAIN(TestTransformationFields)
#include "tst_transformationfields.moc"
