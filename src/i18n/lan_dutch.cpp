#include "i18n/lan_tables.h"

namespace {

// Dutch. Text 28 ends in a space, which shows in the sampling dialog's label.
constexpr LanText kTexts[] = {
    {0, "file(&F)"},
    {1, "instellen(&S)"},
    {2, "open(&O)"},
    {3, "dicht(&C)"},
    {4, "besparen"},
    {5, "verlaten(&E)"},
    {6, "Help(&H)"},
    {7, "op(&A)"},
    {8, "Help-onderwerpen"},
    {9, "op"},
    {10, "Bezig met openen...."},
    {15, "Bemonsteringsfrequentie"},
    {16, "Geen gegevens!"},
    {17, "Fout in bestandsformaat!"},
    {18, "Seriële poort bestaat niet of bezet!"},
    {20, "Waarschuwing!"},
    {22, "Error-formaat!"},
    {23, "Het bestand is opgeslagen!"},
    {24, "Het bestand kon niet worden opgeslagen!"},
    {25, "Het bestand bestaat niet!"},
    {26, "Handleiding"},
    {27, "Registratie-interval"},
    {28, "seconden "},
    {30, "bepalen"},
    {31, "annuleren"},
    {100, "dicht"},
    {101, "Instelling"},
    {102, "Poort"},
    {104, "Handmatige opdracht"},
    {105, "instrument\rInformatie"},
    {106, "Controleren"},
    {107, "Configuratie"},
    {108, "Lezen"},
    {109, "Uitvoer"},
    {110, "Gegevensregistratie"},
    {111, "Doel"},
    {112, "Aantal"},
    {113, "Interval\r(seconden)"},
    {114, "Registreren"},
    {115, "Snelstart"},
    {116, "Fabrikant"},
    {117, "Model"},
    {118, "Serienummer"},
    {119, "Info"},
    {120, "Grafiek"},
    {121, "Tabel"},
    {122, "Opdrachtregel"},
    {123, "Verzenden"},
    {124, "Ontvangen"},
    {131, "Voer het externe IP-adres in!"},
    {132, "Voer remote IP-adres en UDP-poort (zoals 192.168.1.25:1200):"},
    {133, "Open remote IP-adres"},
    {134, " Fout!"},
    {135, "Op UDP-poort %1 kan niet worden geluisterd: de poort is in gebruik of ongeldig."},
    {136, "De verbinding op %1 is verbroken. Kies de poort opnieuw zodra het apparaat terug is."},
    {200, "op"},
};

} // namespace

std::span<const LanText> lan_texts_dutch() {
    return kTexts;
}
