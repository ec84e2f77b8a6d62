#include "i18n/lan_tables.h"

namespace {

// Italian.
constexpr LanText kTexts[] = {
    {0, "file(&F)"},
    {1, "impostare(&S)"},
    {2, "aperto(&O)"},
    {3, "chiudere(&C)"},
    {4, "salvare"},
    {5, "smettere(&E)"},
    {6, "Aiuto(&H)"},
    {7, "su(&A)"},
    {8, "Argomenti della Guida"},
    {9, "su"},
    {10, "Apertura in corso...."},
    {15, "Frequenza di campionamento"},
    {16, "Nessun dato!"},
    {17, "Errore nel formato del file!"},
    {18, "Porta seriale non esiste o non occupato!"},
    {20, "Attenzione!"},
    {22, "Errore di formato!"},
    {23, "Il file è stato salvato!"},
    {24, "Impossibile salvare il file!"},
    {25, "Il file non esiste!"},
    {26, "Manuale utente"},
    {27, "Intervallo di registrazione"},
    {28, "secondo"},
    {30, "determinare"},
    {31, "annullare"},
    {100, "chiudere"},
    {101, "Imposta"},
    {102, "Porta"},
    {104, "Comando manuale"},
    {105, "Informazioni\rstrumento"},
    {106, "Verifica"},
    {107, "Configurazione"},
    {108, "Leggi"},
    {109, "Uscita"},
    {110, "Registrazione dati"},
    {111, "Destinazione"},
    {112, "Quantità"},
    {113, "Intervallo\r(secondi)"},
    {114, "Registra"},
    {115, "Avvio rapido"},
    {116, "Produttore"},
    {117, "Modello"},
    {118, "Numero di serie"},
    {119, "Info"},
    {120, "Grafico"},
    {121, "Tabella"},
    {122, "Riga di comando"},
    {123, "Invia"},
    {124, "Ricezione"},
    {131, "Inserire l'indirizzo IP remoto!"},
    {132, "Si prega di indirizzo IP remoto in ingresso e la porta UDP (come 192.168.1.25:1200):"},
    {133, "Aprire indirizzo IP remoto"},
    {134, " Errore!"},
    {135, "Impossibile ascoltare sulla porta UDP %1: è in uso o non è una porta valida."},
    {136, "La connessione su %1 è stata persa. Scegliere di nuovo la porta quando il dispositivo è "
          "tornato."},
    {200, "su"},
};

} // namespace

std::span<const LanText> lan_texts_italian() {
    return kTexts;
}
