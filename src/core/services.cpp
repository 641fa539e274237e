#include "core/services.h"

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

}  // namespace vortena
