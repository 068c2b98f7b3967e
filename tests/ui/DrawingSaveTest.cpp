// Open then save in the drawing window gives the file back whole: every
// section, record and group as it was, with a run's additions merged in.
#include <QAction>
#include <QFile>
#include <QtTest>

#include "DrawingTestFiles.h"
#include "UiTestSupport.h"
#include "cad/DrawingApplication.h"
#include "cad/dxf/DrawingModel.h"
#include "ui/DrawingWindow.h"

using namespace veerline;
using namespace veerline::ui;
using veerline::ui::test::TestDesktop;

namespace {

// A drawing as CAD programs write it: header variables, classes, tables,
// a paper-space entity, xdata and an extension dictionary, objects, a
// byte-order mark and CR LF line ends.
QByteArray ProjectDrawing() {
  QByteArray text =
      "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1018\n9\n$DWGCODEPAGE\n3\nANSI_1252\n"
      "9\n$LTSCALE\n40\n2.5\n9\n$INSUNITS\n70\n6\n9\n$HANDSEED\n5\n90\n0\nENDSEC\n"
      "0\nSECTION\n2\nCLASSES\n0\nCLASS\n1\nACDBPLACEHOLDER\n2\nAcDbPlaceHolder\n3\nObjectDBX "
      "Classes\n"
      "90\n0\n280\n0\n281\n0\n0\nENDSEC\n"
      "0\nSECTION\n2\nTABLES\n"
      "0\nTABLE\n2\nLTYPE\n5\n5\n330\n0\n100\nAcDbSymbolTable\n70\n1\n"
      "0\nLTYPE\n5\n14\n330\n5\n100\nAcDbSymbolTableRecord\n100\nAcDbLinetypeTableRecord\n2\nContin"
      "uous\n"
      "70\n0\n3\nSolid line\n72\n65\n73\n0\n40\n0.0\n0\nENDTAB\n"
      "0\nTABLE\n2\nLAYER\n5\n2\n330\n0\n100\nAcDbSymbolTable\n70\n2\n"
      "0\nLAYER\n5\n10\n330\n2\n100\nAcDbSymbolTableRecord\n100\nAcDbLayerTableRecord\n2\n0\n70\n0"
      "\n62\n7\n"
      "6\nContinuous\n"
      "0\nLAYER\n5\n11\n330\n2\n100\nAcDbSymbolTableRecord\n100\nAcDbLayerTableRecord\n2\nPath\n70"
      "\n0\n"
      "62\n3\n6\nContinuous\n370\n35\n0\nENDTAB\n"
      "0\nTABLE\n2\nBLOCK_RECORD\n5\n1\n330\n0\n100\nAcDbSymbolTable\n70\n1\n"
      "0\nBLOCK_RECORD\n5\n1F\n330\n1\n100\nAcDbSymbolTableRecord\n100\nAcDbBlockTableRecord\n"
      "2\n*Model_Space\n0\nENDTAB\n0\nENDSEC\n"
      "0\nSECTION\n2\nENTITIES\n"
      "0\nLWPOLYLINE\n5\n40\n330\n1F\n100\nAcDbEntity\n8\nPath\n6\nContinuous\n370\n50\n"
      "100\nAcDbPolyline\n90\n4\n70\n0\n"
      "10\n0\n20\n0\n10\n20\n20\n0\n42\n0.41421356237309503\n10\n32\n20\n12\n10\n32\n20\n40\n"
      "1001\nSURVEY\n1000\nkerb line\n"
      "0\nTEXT\n5\n41\n102\n{ACAD_XDICTIONARY\n360\n60\n102\n}"
      "\n330\n1F\n100\nAcDbEntity\n67\n1\n8\n0\n"
      "100\nAcDbText\n10\n10\n20\n10\n30\n0\n40\n3.5\n1\nSheet 1 "
      "\xfc\x62\x65rsicht\n100\nAcDbText\n"
      "0\nENDSEC\n"
      "0\nSECTION\n2\nOBJECTS\n0\nDICTIONARY\n5\nC\n330\n0\n100\nAcDbDictionary\n281\n1\n"
      "0\nDICTIONARY\n5\n60\n330\n41\n100\nAcDbDictionary\n3\nNOTE\n350\n61\n"
      "0\nXRECORD\n5\n61\n330\n60\n100\nAcDbXrecord\n1\nchecked 2026\n0\nENDSEC\n0\nEOF\n";
  return "\xEF\xBB\xBF" + text.replace("\n", "\r\n");
}

// The file's groups as "code|value", with the values that a save may change
// (table counts, the handle seed) blanked.
QList<QByteArray> Groups(const QByteArray& text) {
  QList<QByteArray> lines = text.split('\n'), groups;
  bool tableHead = false, seed = false;
  for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
    QByteArray code = lines[i].trimmed(), value = lines[i + 1].trimmed();
    if (code == "0") tableHead = value == "TABLE";
    if ((tableHead && code == "70") || (seed && code == "5")) value = "*";
    seed = code == "9" && value == "$HANDSEED";
    groups << code + '|' + value;
  }
  return groups;
}

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class DrawingSaveTest : public QObject {
  Q_OBJECT

 private slots:
  void openThenSaveGivesTheFileBackWithTheAdditions() {
    TestDesktop desktop;
    cad::DrawingAttacher attacher;
    DrawingWindow window{desktop.Services(), attacher};
    window.show();
    const QString source = desktop.Path(QStringLiteral("site.dxf"));
    QVERIFY(test::WriteFile(source, ProjectDrawing()));

    desktop.chosenFiles.push_back(source);
    window.findChild<QAction*>(QStringLiteral("OpenDrawing"))->trigger();
    desktop.chosenFiles.push_back(desktop.Path(QStringLiteral("same.dxf")));
    window.findChild<QAction*>(QStringLiteral("SaveDrawingAs"))->trigger();
    QCOMPARE(Read(desktop.Path(QStringLiteral("same.dxf"))), ProjectDrawing());

    // What a run adds: a layer, a block and its insert.
    attacher.Current()->AddLayer("Turn_Vehicle");
    cad::CadBlock& block = attacher.Current()->AddBlock({0, 0, 0}, "31415");
    block.AddCircle({1, 1, 0}, 1).SetLayer("Turn_Vehicle");
    attacher.Current()->InsertBlock({0, 0, 0}, "31415", 1, 1, 1, 0);
    attacher.Application()->Regen();
    window.findChild<QAction*>(QStringLiteral("SaveDrawing"))->trigger();
    QByteArray saved = Read(desktop.Path(QStringLiteral("same.dxf")));
    // Every group of the original is there, in order; the counts of the
    // tables and the handle seed may change.
    QList<QByteArray> original = Groups(ProjectDrawing()), written = Groups(saved);
    qsizetype at = 0;
    for (const QByteArray& group : original) {
      at = written.indexOf(group, at);
      QVERIFY2(at >= 0, group.constData());
      ++at;
    }
    QVERIFY(saved.contains("\r\nLAYER\r\n"));
    QVERIFY(saved.contains("2\r\nTurn_Vehicle\r\n"));
    QVERIFY(saved.contains("0\r\nINSERT\r\n"));
    QVERIFY(!saved.contains("\r\r") && saved.count('\n') == saved.count("\r\n"));
  }
};

QTEST_MAIN(DrawingSaveTest)
#include "DrawingSaveTest.moc"
