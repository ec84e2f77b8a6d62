#include "i18n/lan_tables.h"

namespace {

// Spanish.
constexpr LanText kTexts[] = {
    {0, "expediente(&F)"},
    {1, "establecer(&S)"},
    {2, "abierto(&O)"},
    {3, "cerca(&C)"},
    {4, "ahorrar"},
    {5, "dejar de(&E)"},
    {6, "ayuda(&H)"},
    {7, "en(&A)"},
    {8, "Temas de ayuda"},
    {9, "en"},
    {10, "Abriendo...."},
    {15, "Frecuencia de muestreo"},
    {16, "¡No hay datos!"},
    {17, "¡Error en el formato del archivo!"},
    {18, "Puerto serie no existe o ocupado!"},
    {20, "¡Advertencia!"},
    {22, "Error de formato!"},
    {23, "¡El archivo se ha guardado!"},
    {24, "¡No se pudo guardar el archivo!"},
    {25, "¡El archivo no existe!"},
    {26, "Manual de ayuda"},
    {27, "Intervalo de registro"},
    {28, "segundo"},
    {30, "determinar"},
    {31, "cancelar"},
    {100, "cerca"},
    {101, "Ajuste"},
    {102, "Puerto"},
    {104, "Comando manual"},
    {105, "instrumento\rde información"},
    {106, "Identificar"},
    {107, "Configuración"},
    {108, "Leer"},
    {109, "Salida"},
    {110, "Registro de datos"},
    {111, "Destino"},
    {112, "Cantidad"},
    {113, "Intervalo\r(segundos)"},
    {114, "Registrar"},
    {115, "Inicio rápido"},
    {116, "Fabricante"},
    {117, "Modelo"},
    {118, "Número de serie"},
    {119, "Info"},
    {120, "Gráfico"},
    {121, "Tabla"},
    {122, "Enviar comando"},
    {123, "Enviar"},
    {124, "Recepción"},
    {131, "¡Introduzca la dirección IP remota!"},
    {132, "Por favor, introducir la dirección IP remota y el puerto UDP (como "
          "192.168.1.25:1200):"},
    {133, "Abrir dirección IP remota"},
    {134, " ¡Error!"},
    {135, "No se puede escuchar en el puerto UDP %1: está en uso o no es un puerto válido."},
    {136, "Se perdió la conexión en %1. Vuelva a elegir el puerto cuando el dispositivo esté de "
          "nuevo conectado."},
    {137, "Guardar imagen del gráfico"},
    {138, "Cantidad"},
    {139, "Mín"},
    {140, "Máx"},
    {141, "Media"},
    {142, "Desv. est."},
    {200, "en"},
};

} // namespace

std::span<const LanText> lan_texts_spanish() {
    return kTexts;
}
