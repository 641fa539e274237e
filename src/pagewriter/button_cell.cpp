#include "pagewriter/button_cell.h"

#include "core/text.h"

namespace vortena {

void openButtonCell(PagePass& pass) {
  const std::string& q = pass.q;
  // The outer table's width is " 130", with a blank inside the quotes, as the frame has
  // always been written; the inner lines use "130".
  pass.writeUnguarded("<td valign=" + q + "Top" + q + ">");
  pass.writeUnguarded("  <table border=" + q + "0" + q + " cellpadding=" + q + "0" + q +
                      " cellspacing=" + q + "0" + q + " width=" + q + " 130" + q + ">");
  pass.writeUnguarded("  <tr>");
  pass.writeUnguarded("   <td background=" + q + toCase("pulsante.jpg", pass.upper()) + q + " width=" + q + "130" + q +
                      " height=" + q + "30" + q + ">");
  pass.writeUnguarded("    <table border=" + q + "0" + q + " cellpadding=" + q + "0" + q +
                      " cellspacing=" + q + "0" + q + " width=" + q + "130" + q + " height=" + q +
                      "30" + q + ">");
  pass.writeUnguarded("     <tr>");
  pass.writeUnguarded("      <td><p align=" + q + "center" + q + ">");
}

void closeButtonCell(PagePass& pass) {
  pass.writeUnguarded("      </td>");
  pass.writeUnguarded("     </tr>");
  pass.writeUnguarded("    </table>");
  pass.writeUnguarded("   </td>");
  pass.writeUnguarded("  </tr>");
}

}  // namespace vortena
