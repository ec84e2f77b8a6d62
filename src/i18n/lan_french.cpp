#include "i18n/lan_tables.h"

namespace {

// French. Texts 18 and 22 carry two apostrophes in a row, and are shown that way.
constexpr LanText kTexts[] = {
    {0, "Fichier(&F)"},
    {1, "Mettre en place des(&S)"},
    {2, "Ouvrez(&O)"},
    {3, "Fermer(&C)"},
    {4, "Enregistrer"},
    {5, "Quittez(&E)"},
    {6, "Aide(&H)"},
    {7, "Sur(&A)"},
    {8, "Rubriques d'aide"},
    {9, "Sur"},
    {10, "Ouverture en cours...."},
    {15, "Fréquence d'échantillonnage"},
    {16, "Aucune donnée !"},
    {17, "Erreur de format de fichier !"},
    {18, "Le port série n''existe pas ou occupés!"},
    {20, "Attention !"},
    {22, "format d''erreur!"},
    {23, "Le fichier a été enregistré !"},
    {24, "Échec de l'enregistrement du fichier !"},
    {25, "Le fichier n'existe pas !"},
    {26, "Manuel d'utilisation"},
    {27, "Intervalle d'enregistrement"},
    {28, "Deuxième"},
    {30, "déterminer"},
    {31, "Annuler"},
    {100, "proches"},
    {101, "Réglage"},
    {102, "Port"},
    {104, "Commande manuelle"},
    {105, "informations sur\rl'instrument"},
    {106, "Identifier"},
    {107, "Configuration"},
    {108, "Lire"},
    {109, "Sortie"},
    {110, "Enregistrement"},
    {111, "Destination"},
    {112, "Nombre"},
    {113, "Interval\r(seconds)"},
    {114, "Enregistrer"},
    {115, "Démarrage rapide"},
    {116, "Fabricant"},
    {117, "Modèle"},
    {118, "N° de série"},
    {119, "Infos"},
    {120, "Graphique"},
    {121, "Tableau"},
    {122, "Commande à envoyer"},
    {123, "Envoyer"},
    {124, "Réception"},
    {131, "Veuillez saisir l'adresse IP distante !"},
    {132, "S'il vous plaît l'adresse IP d'entrée à distance et le port UDP (comme "
          "192.168.1.25:1200):"},
    {133, "Ouvrez l'adresse IP distante"},
    {134, " Erreur!"},
    {135, "Impossible d'écouter le port UDP %1 : il est occupé ou n'est pas un port valide."},
    {136, "La connexion sur %1 a été perdue. Choisissez à nouveau le port quand l'appareil est de "
          "retour."},
    {137, "Enregistrer l'image du graphique"},
    {138, "Nombre"},
    {139, "Min"},
    {140, "Max"},
    {141, "Moyenne"},
    {142, "Écart type"},
    {200, "Sur"},
};

} // namespace

std::span<const LanText> lan_texts_french() {
    return kTexts;
}
