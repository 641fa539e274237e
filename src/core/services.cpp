#include "core/services.h"

#include <iostream>

namespace vortena {
namespace {

// The items written out one a line; the rest are only counted.
constexpr size_t kLeftOutShown = 10;

std::string reasonText(LeftOut::Why why) {
  switch (why) {
    case LeftOut::Why::PathTooLong:
      return "percorso troppo lungo";
    case LeftOut::Why::TooDeep:
      return "oltre " + std::to_string(kDeepestScanLevel) + " livelli di cartelle";
    case LeftOut::Why::Unreadable:
      return "cartella non leggibile";
    case LeftOut::Why::UnusableName:
      return "nome con \\ non utilizzabile in un album";
  }
  return {};
}

}  // namespace

std::string leftOutMessage(const std::vector<LeftOut>& items) {
  std::string text = "Esclusi dall'elenco " + std::to_string(items.size()) + " file o cartelle:";
  for (size_t i = 0; i < items.size() && i < kLeftOutShown; ++i)
    text += "\r\n" + items[i].path + " (" + reasonText(items[i].why) + ")";
  if (items.size() > kLeftOutShown)
    text += "\r\n... e altri " + std::to_string(items.size() - kLeftOutShown);
  return text;
}

void tellUnexpected(Ui& ui, std::string_view where, std::exception_ptr failure) noexcept {
  std::string what = "an exception of an unknown kind";
  try {
    if (failure) std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
  }
  try {
    std::cerr << "vortena: " << where << ": unexpected failure: " << what << std::endl;
    ui.setPointer(Pointer::Default);
    ui.message("Errore imprevisto: " + what);
  } catch (...) {
    // The line above is all that can be told.
  }
}

}  // namespace vortena
