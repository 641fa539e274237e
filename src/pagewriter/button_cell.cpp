#include "pagewriter/button_cell.h"

namespace vortena {

void Apri_Cella(PagePass& pass) {
  const std::string& q = pass.q;
  // The outer table's width is " 130", with a blank inside the quotes, as the frame has
  // always been written; the inner lines use "130".
  pass.writePage("<td valign=" + q + "Top" + q + ">");
  pass.writePage("  <table border=" + q + "0" + q + " cellpadding=" + q + "0" + q +
                 " cellspacing=" + q + "0" + q + " width=" + q + " 130" + q + ">");
  pass.writePage("  <tr>");
  pass.writePage("   <td background=" + q + "PULSANTE.JPG" + q + " width=" + q + "130" + q +
                 " height=" + q + "30" + q + ">");
  pass.writePage("    <table border=" + q + "0" + q + " cellpadding=" + q + "0" + q +
                 " cellspacing=" + q + "0" + q + " width=" + q + "130" + q + " height=" + q + "30" +
                 q + ">");
  pass.writePage("     <tr>");
  pass.writePage("      <td><p align=" + q + "center" + q + ">");
}

void Chiudi_Cella(PagePass& pass) {
  pass.writePage("      </td>");
  pass.writePage("     </tr>");
  pass.writePage("    </table>");
  pass.writePage("   </td>");
  pass.writePage("  </tr>");
}

}  // namespace vortena
