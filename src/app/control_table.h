// The main window's layout: every control with its kind, caption or initial text, position in
// twips and look. The Qt window builds its widgets from this table, the script runner its
// plain controls, and `dump` walks it in focus order.
#pragma once

#include <array>
#include <string_view>

namespace vortena {

enum class ControlKind { TextBox, ListBox, Button, CheckBox, OptionButton, Label, Shape };

struct TwipRect {
  int left, top, width, height;
};

struct ControlRow {
  std::string_view name;
  ControlKind kind;
  std::string_view caption;  // caption, or initial text of a text box
  TwipRect rect;
  bool yellow = false;  // background RGB(255, 255, 128)
  bool bold = false;    // bold 8.25-point sans-serif (buttons)
};

inline constexpr std::string_view kWindowCaption =
    "Creazione Menu Immagini .HTML con dissolvenza per Siti Internet";
inline constexpr int kClientWidthTwips = 9285;
inline constexpr int kClientHeightTwips = 7095;
inline constexpr std::string_view kMessageTitle = "VORTENA";

// The 21 controls that take the focus, in focus order.
inline constexpr std::array<ControlRow, 21> kFocusControls{{
    {"txtPATH_RICERCA", ControlKind::TextBox, "C:\\VORTENA\\", {2280, 240, 4335, 285}, true},
    {"txtESTENSIONE", ControlKind::TextBox, "*", {2280, 600, 735, 285}},
    {"txtNOME_FILE_HTM", ControlKind::TextBox, "C:\\VORTENA\\index.htm", {2280, 960, 4335, 285}},
    {"List1", ControlKind::ListBox, "", {120, 1590, 6510, 5325}},
    {"cmdCONFERMA",
     ControlKind::Button,
     "Carica i nomi dei files della estensione indicata",
     {6855, 915, 2310, 660},
     false,
     true},
    {"Command1", ControlKind::Button, "Creazione INDEX.HTM", {6855, 2520, 2310, 615}, false, true},
    {"cmdFINE", ControlKind::Button, "F I N E", {8190, 6495, 960, 495}, false, true},
    {"txtNUM_FILE", ControlKind::TextBox, "", {8040, 5490, 975, 285}},
    {"Command2", ControlKind::Button, "Nuovo elenco files", {6855, 15, 2310, 345}},
    {"Command3",
     ControlKind::Button,
     "Sfoglia / Ricerca Cartella/Directory...",
     {6855, 360, 2310, 495},
     false,
     true},
    {"cmdCONFERMA_Tutti",
     ControlKind::Button,
     "Carica tutti i files multimediali conosciuti della cartella",
     {6855, 1575, 2310, 840},
     false,
     true},
    {"cmdCANC_FILE", ControlKind::Button, "Elimina file da elenco", {6870, 5040, 2295, 330}},
    {"cmdIns_File",
     ControlKind::Button,
     "Inserisce un solo file in elenco",
     {6870, 4710, 2295, 330}},
    {"Command4",
     ControlKind::Button,
     "Creazione vari ALBUM.HTM secondo massimo numero files",
     {6855, 3120, 2310, 735},
     false,
     true},
    {"txtMAX_N_FILES", ControlKind::TextBox, "", {8685, 3960, 495, 285}, true},
    {"txtMAX_PER_RIGA", ControlKind::TextBox, "", {8685, 4275, 495, 285}, true},
    {"Check1", ControlKind::CheckBox, "Elimino sfondo", {6735, 5895, 1380, 225}},
    {"Command5", ControlKind::Button, "Vedo risultato INDEX.HTM", {6870, 6495, 1320, 495}},
    {"Check2", ControlKind::CheckBox, "Elimino titolo", {6735, 6150, 1290, 225}},
    {"Option1", ControlKind::OptionButton, "Maiuscole", {8145, 5925, 1080, 195}},
    {"Option2", ControlKind::OptionButton, "Minuscole", {8145, 6180, 1080, 195}},
}};

// Labels beside the boxes. Label3 is bold 9-point Arial.
inline constexpr std::array<ControlRow, 7> kLabels{{
    {"Label1", ControlKind::Label, "Ricerca nella Directory", {120, 285, 1815, 255}},
    {"Label2", ControlKind::Label, "Ricerca files con estensione ", {120, 645, 2175, 255}},
    {"Label3",
     ControlKind::Label,
     " ( * per tutti i files) oppure (gif / jpg / bmp)",
     {3075, 630, 3720, 255},
     false,
     true},
    {"Label5", ControlKind::Label, "Nome file ALBUM .HTM", {120, 1005, 1815, 255}},
    // The two captions of the maxima start a little further left than the buttons above them,
    // so that the longer one is not cut by the box to its right.
    {"Label7", ControlKind::Label, "Max. n.files per pag.HTM", {6780, 4005, 1875, 255}},
    {"Label8", ControlKind::Label, "Max. immagini per riga", {6780, 4305, 1890, 255}},
    {"Label4", ControlKind::Label, "N.files trovati", {6960, 5505, 1095, 255}},
}};

// The step numbers Label6(0) to Label6(4): bold 13.5-point sans-serif.
inline constexpr std::array<ControlRow, 5> kStepNumbers{{
    {"Label6", ControlKind::Label, "1", {6645, 0, 180, 390}, false, true},
    {"Label6", ControlKind::Label, "2", {6645, 465, 180, 360}, false, true},
    {"Label6", ControlKind::Label, "3", {6645, 1050, 180, 360}, false, true},
    {"Label6", ControlKind::Label, "4", {6630, 2640, 180, 360}, false, true},
    {"Label6", ControlKind::Label, "5", {6675, 6555, 180, 360}, false, true},
}};

// The rectangle framing the check boxes and option buttons.
inline constexpr ControlRow kShape1{"Shape1", ControlKind::Shape, "", {6675, 5835, 2565, 585}};

}  // namespace vortena
