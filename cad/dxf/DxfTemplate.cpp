#include "cad/dxf/DxfTemplate.h"

#include <tuple>

#include "cad/dxf/DxfAdditions.h"
#include "cad/dxf/DxfEmitter.h"
#include "cad/dxf/DxfSource.h"

namespace veerline::cad {

namespace {

class TemplateWriter {
 public:
  std::string Write() {
    Header();
    Section("CLASSES");
    Raw(0, "ENDSEC");
    Tables();
    Blocks();
    Section("ENTITIES");
    Raw(0, "ENDSEC");
    Objects();
    Raw(0, "EOF");
    return mOut.Take();
  }

 private:
  void Raw(int code, const char* value) { mOut.Raw(code, value); }
  void Section(const char* name) {
    Raw(0, "SECTION");
    Raw(2, name);
  }

  void Header() {
    Section("HEADER");
    for (auto [name, code, value] :
         {std::tuple{"$ACADVER", 1, "AC1015"}, std::tuple{"$DWGCODEPAGE", 3, "ANSI_1252"}}) {
      Raw(9, name);
      Raw(code, value);
    }
    for (const char* name : {"$INSBASE", "$EXTMIN", "$EXTMAX"}) {
      Raw(9, name);
      mOut.Point(10, {});
    }
    Raw(9, "$HANDSEED");
    Raw(5, "30");
    Raw(0, "ENDSEC");
  }

  void Table(const char* name, const char* handle, int count) {
    Raw(0, "TABLE");
    Raw(2, name);
    Raw(5, handle);
    Raw(330, "0");
    Raw(100, "AcDbSymbolTable");
    mOut.Int(70, count);
  }

  void Record(const char* type, const char* handle, const char* table, const char* subclass) {
    Raw(0, type);
    Raw(std::string_view(type) == "DIMSTYLE" ? 105 : 5, handle);
    Raw(330, table);
    Raw(100, "AcDbSymbolTableRecord");
    Raw(100, subclass);
  }

  void StandardRecords() {
    AdditionStyle style;
    style.PlotStyleHandle = "F";
    std::uint32_t next = 0x2A;  // below the seed, clear of the fixed handles
    AdditionWriter writer(mOut, style, [&next] { return FormatHandle(next++); });
    writer.TableHead("LTYPE", "5", 3);
    for (const char* name : {"ByBlock", "ByLayer"}) writer.Linetype({name, "", {}, false}, "5");
    writer.Linetype({"Continuous", "Solid line", {}, false}, "5");
    writer.TableEnd();
    writer.TableHead("LAYER", "2", 1);
    DrawingLayer zero;
    zero.Name = "0";
    writer.Layer(zero, "2");
    writer.TableEnd();
    writer.TableHead("STYLE", "3", 1);
    writer.TextStyle("Standard", "3");
    writer.TableEnd();
  }

  void Tables() {
    Section("TABLES");
    Table("VPORT", "8", 1);
    Record("VPORT", "29", "8", "AcDbViewportTableRecord");
    Raw(2, "*ACTIVE");
    mOut.Int(70, 0);
    mOut.Real(10, 0);
    mOut.Real(20, 0);
    mOut.Real(11, 1);
    mOut.Real(21, 1);
    mOut.Real(12, 0);
    mOut.Real(22, 0);
    mOut.Real(40, 100);
    mOut.Real(41, 1.5);
    Raw(0, "ENDTAB");

    // The standard records, written as any added record is.
    StandardRecords();

    Table("VIEW", "6", 0);
    Raw(0, "ENDTAB");
    Table("UCS", "7", 0);
    Raw(0, "ENDTAB");

    Table("APPID", "9", 1);
    Record("APPID", "12", "9", "AcDbRegAppTableRecord");
    Raw(2, "ACAD");
    mOut.Int(70, 0);
    Raw(0, "ENDTAB");

    Table("DIMSTYLE", "A", 1);
    Raw(100, "AcDbDimStyleTable");
    mOut.Int(71, 0);
    Record("DIMSTYLE", "27", "A", "AcDbDimStyleTableRecord");
    Raw(2, "Standard");
    mOut.Int(70, 0);
    Raw(0, "ENDTAB");

    Table("BLOCK_RECORD", "1", 2);
    Record("BLOCK_RECORD", "1F", "1", "AcDbBlockTableRecord");
    Raw(2, "*Model_Space");
    Record("BLOCK_RECORD", "1B", "1", "AcDbBlockTableRecord");
    Raw(2, "*Paper_Space");
    Raw(0, "ENDTAB");
    Raw(0, "ENDSEC");
  }

  void LayoutBlock(const char* name, const char* record, const char* begin, const char* end) {
    Raw(0, "BLOCK");
    Raw(5, begin);
    Raw(330, record);
    Raw(100, "AcDbEntity");
    Raw(8, "0");
    Raw(100, "AcDbBlockBegin");
    Raw(2, name);
    mOut.Int(70, 0);
    mOut.Point(10, {});
    Raw(3, name);
    Raw(1, "");
    Raw(0, "ENDBLK");
    Raw(5, end);
    Raw(330, record);
    Raw(100, "AcDbEntity");
    Raw(8, "0");
    Raw(100, "AcDbBlockEnd");
  }

  void Blocks() {
    Section("BLOCKS");
    LayoutBlock("*Model_Space", "1F", "20", "21");
    LayoutBlock("*Paper_Space", "1B", "1C", "1D");
    Raw(0, "ENDSEC");
  }

  void Objects() {
    Section("OBJECTS");
    Raw(0, "DICTIONARY");
    Raw(5, "C");
    Raw(330, "0");
    Raw(100, "AcDbDictionary");
    mOut.Int(281, 1);
    Raw(3, "ACAD_GROUP");
    Raw(350, "D");
    Raw(3, "ACAD_PLOTSTYLENAME");
    Raw(350, "E");
    Raw(0, "DICTIONARY");
    Raw(5, "D");
    Raw(330, "C");
    Raw(100, "AcDbDictionary");
    mOut.Int(281, 1);
    Raw(0, "ACDBDICTIONARYWDFLT");
    Raw(5, "E");
    Raw(330, "C");
    Raw(100, "AcDbDictionary");
    mOut.Int(281, 1);
    Raw(3, "Normal");
    Raw(350, "F");
    Raw(100, "AcDbDictionaryWithDefault");
    Raw(340, "F");
    Raw(0, "ACDBPLACEHOLDER");
    Raw(5, "F");
    Raw(330, "E");
    Raw(0, "ENDSEC");
  }

  DxfEmitter mOut{DxfLineStyle{}, false};
};

}  // namespace

std::string NewDrawingText() { return TemplateWriter().Write(); }

}  // namespace veerline::cad
