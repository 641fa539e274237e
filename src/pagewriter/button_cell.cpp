#include "pagewriter/button_cell.h"

#include "core/text.h"

namespace vortena {

void openButtonCell(const PassContext& pass, PageFile& page) {
  const std::string& q = pass.q;
  // The outer table's width is " 130", with a blank inside the quotes, as the frame has
  // always been written; the inner lines use "130".
  page.writeUnguarded("<td valign=" + q + "Top" + q + ">");
  page.writeUnguarded("  <table border=" + q + "0" + q + " cellpadding=" + q + "0" + q +
                      " cellspacing=" + q + "0" + q + " width=" + q + " 130" + q + ">");
  page.writeUnguarded("  <tr>");
  page.writeUnguarded("   <td background=" + q + toCase("pulsante.jpg", pass.upper()) + q +
                      " width=" + q + "130" + q + " height=" + q + "30" + q + ">");
  page.writeUnguarded("    <table border=" + q + "0" + q + " cellpadding=" + q + "0" + q +
                      " cellspacing=" + q + "0" + q + " width=" + q + "130" + q + " height=" + q +
                      "30" + q + ">");
  page.writeUnguarded("     <tr>");
  page.writeUnguarded("      <td><p align=" + q + "center" + q + ">");
}

void closeButtonCell(PageFile& page) {
  page.writeUnguarded("      </td>");
  page.writeUnguarded("     </tr>");
  page.writeUnguarded("    </table>");
  page.writeUnguarded("   </td>");
  page.writeUnguarded("  </tr>");
}

}  // namespace vortena
