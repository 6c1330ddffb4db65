#include "document/colour.h"
#include "document/fractaldocument.h"

#include <QTest>

using namespace Vorlane;

class TestFractalDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startupDocumentHoldsTheTree();
    void emptyDocumentKeepsSettingsColoursAndFirstPoint();
    void emptyDocumentOfAnEmptyField();
    void colourComponents();
    void namesArePaddedAndCut();
};

void TestFractalDocument::startupDocumentHoldsTheTree()
{
    const FractalDocument document = startupDocument(0.5f, 0.25f, rgbColour(254, 253, 245));
    QCOMPARE(document.trCount(), 3);
    QCOMPARE(document.trNameCounter, qint16(4));
    QCOMPARE(document.transformations.at(0).name, QStringLiteral("Tr 1    "));
    QCOMPARE(document.transformations.at(1).contraction[1], 0.45f);
    QCOMPARE(document.transformations.at(1).rotation, -40.0f);
    QCOMPARE(document.transformations.at(2).translation[1], 1200.0f);
    QCOMPARE(document.basePointCount(), 2000);
    QCOMPARE(document.basePoints.first(), (BasePoint{0, 1}));
    QCOMPARE(document.basePoints.last(), (BasePoint{0, 2000}));
    QCOMPARE(document.settings, (RenderSettings{45000, 20, 0.5f, 0.25f}));
    QCOMPARE(document.colours, (ColourScheme{1, 668260, 65280, 16121342}));
    QCOMPARE(document.centreX, qint16(0));
    QCOMPARE(document.centreY, qint16(2000));
}

void TestFractalDocument::emptyDocumentKeepsSettingsColoursAndFirstPoint()
{
    FractalDocument document = startupDocument(0.5f, 0.25f, 0);
    document.basePoints.first() = {7, -3};
    document.centreX = 40;
    FractalDocument expected = document;
    makeEmptyDocument(document);
    QCOMPARE(document.trCount(), 0);
    QCOMPARE(document.trNameCounter, qint16(1));
    QCOMPARE(document.basePoints, (QList<BasePoint>{{7, -3}}));
    expected.transformations.clear();
    expected.trNameCounter = 1;
    expected.basePoints = document.basePoints;
    QCOMPARE(document, expected);
}

void TestFractalDocument::emptyDocumentOfAnEmptyField()
{
    FractalDocument document;
    makeEmptyDocument(document);
    QCOMPARE(document.basePoints, (QList<BasePoint>{{0, 0}}));
}

void TestFractalDocument::colourComponents()
{
    QCOMPARE(colourGreen(65280), 255);
    QCOMPARE(colourRed(65280), 0);
    QCOMPARE(colourBlue(65280), 0);
    QCOMPARE(colourBlue(16121342), 245);
    QCOMPARE(colourRed(16121342), 254);
    // A top byte set by a file plays no part.
    QCOMPARE(colourBlue(qint32(0xFF123456)), 0x12);
    QCOMPARE(colourRed(-1), 255);
}

void TestFractalDocument::namesArePaddedAndCut()
{
    QCOMPARE(paddedTrName(QStringLiteral("ab")), QStringLiteral("ab      "));
    QCOMPARE(paddedTrName(QStringLiteral("abcdefghijklmnop")), QStringLiteral("abcdefgh"));
    QCOMPARE(paddedTrName(QString()), QStringLiteral("        "));
}

QTEST_GUILESS_MAIN(TestFractalDocument)
#include "tst_fractaldocument.moc"
