#include "i18n/lan_tables.h"

namespace {

// German. The instrument label fits on one line here; the interval label keeps two.
constexpr LanText kTexts[] = {
    {0, "Datei(&F)"},
    {1, "einrichten(&S)"},
    {2, "geöffnet(&O)"},
    {3, "in der Nähe(&C)"},
    {4, "sparen"},
    {5, "verlassen(&E)"},
    {6, "Hilfe(&H)"},
    {7, "auf(&A)"},
    {8, "Hilfethemen"},
    {9, "auf"},
    {10, "Wird geöffnet...."},
    {15, "Abtastrate"},
    {16, "Keine Daten!"},
    {17, "Fehler im Dateiformat!"},
    {18, "Serielle Schnittstelle ist nicht vorhanden oder besetzt!"},
    {20, "Warnung!"},
    {22, "Fehler-Format!"},
    {23, "Die Datei wurde gespeichert!"},
    {24, "Die Datei konnte nicht gespeichert werden!"},
    {25, "Die Datei existiert nicht!"},
    {26, "Handbuch"},
    {27, "Aufzeichnungsintervall"},
    {28, "zweite"},
    {30, "bestimmen"},
    {31, "kündigen"},
    {100, "Nähe Hafen"},
    {101, "Auswahl"},
    {102, "Port"},
    {104, "Manueller Befehl"},
    {105, "Geräteinformationen"},
    {106, "Prüfen"},
    {107, "Konfiguration"},
    {108, "Lesen"},
    {109, "Ausgabe"},
    {110, "Datenaufzeichnung"},
    {111, "Ziel"},
    {112, "Anzahl"},
    {113, "Intervall\r(Sekunden)"},
    {114, "Aufzeichnen"},
    {115, "Schnellstart"},
    {116, "Hersteller"},
    {117, "Modell"},
    {118, "Seriennummer"},
    {119, "Info"},
    {120, "Grafik"},
    {121, "Tabelle"},
    {122, "Befehlszeile senden"},
    {123, "Senden"},
    {124, "Empfang"},
    {131, "Bitte geben Sie die Remote-IP-Adresse ein!"},
    {132, "Bitte geben Sie Ihre Remote-IP-Adresse und UDP-Port (wie 192.168.1.25:1200):"},
    {133, "Öffnen Sie Remote-IP-Adresse"},
    {134, " Error!"},
    {135, "Auf UDP-Port %1 kann nicht empfangen werden: Er ist belegt oder kein gültiger Port."},
    {136, "Die Verbindung über %1 wurde unterbrochen. Wählen Sie den Port erneut, sobald das Gerät "
          "wieder da ist."},
    {200, "auf"},
};

} // namespace

std::span<const LanText> lan_texts_german() {
    return kTexts;
}
