#include "app/AppMessages.h"

namespace {

struct MessagePair {
  const char* German;
  const char* English;
};

// Indexed by TAppMessage.
constexpr MessagePair kMessages[] = {
    {"Sie haben kein Verzeichnis ausgewählt", "You have not selected a directory"},
    {"Sie haben kein Datei-Namen angegeben", "You have not specified a file name"},
    {"Bitte geben Sie als neue Dateigrösse eine ganze Zahl grösser als 0 an",
     "Please enter a whole number greater than 0 as the new file size"},
    {"Es ist kein Text zum Aufteilen vorhanden", "There is no text to split"},
    {"Beginne Verarbeitung...", "begin processing..."},
    {"Erzeuge Datei: ", "Create File: "},
    {"Beginne neue Datei", "Start new file"},
    {"Verarbeitung beendet", "Processing terminated"},
    {"Fehler beim Einlesen", "Error open file"},
    {"Öffne Datei: ", "Open File: "},
    {"Kommentare gelöscht", "Comments deleted"},
    {"Leerzeilen gelöscht", "Blank lines deleted"},
    {"Es sind keine Zeilen vorhanden", "There are no lines"},
    {"Das Verzeichnis %s kann nicht angelegt werden", "Cannot create the directory %s"},
    {"Die Datei %s kann nicht angelegt werden. Verarbeitung abgebrochen",
     "Cannot create the file %s. Processing stopped"},
    {"Fehler beim Schreiben der Datei %s. Verarbeitung abgebrochen; die bisher "
     "geschriebenen Dateien bleiben erhalten",
     "Error writing the file %s. Processing stopped; the files written so far are kept"},
    {"Bitte warten Sie, bis die Verarbeitung beendet ist",
     "Please wait until processing has finished"},
    {"Datei gespeichert", "File saved"},
    {"Die Datei %s ist die Datei, die aufgeteilt wird, und wird nicht überschrieben. "
     "Verarbeitung abgebrochen",
     "The file %s is the file being split and is not overwritten. Processing stopped"},
};
static_assert(std::size(kMessages) == static_cast<size_t>(TAppMessage::PieceIsSource) + 1);

}  // namespace

std::string AppMessage(TAppMessage message, const std::string& language) {
  const MessagePair& pair = kMessages[static_cast<size_t>(message)];
  return language == "de" ? pair.German : pair.English;
}
