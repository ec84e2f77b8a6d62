#include "i18n/about_text.h"
#include "i18n/lan_tables.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Text numbers that every language block fills with a non-empty text. 19, 21, 208, 209 and
// 211 to 220 are held too, but empty.
std::set<int> non_empty_numbers() {
    std::set<int> k;
    for (int i = 0; i <= 10; ++i)
        k.insert(i);
    for (int i = 15; i <= 28; ++i)
        k.insert(i);
    k.erase(19);
    k.erase(21);
    k.insert({30, 31, 131, 132, 133, 134, 135, 136, 137, 138, 139, 140, 141, 142});
    for (int i = 100; i <= 124; ++i)
        k.insert(i);
    for (int i = 200; i <= 207; ++i)
        k.insert(i);
    return k;
}

const char* const kLanguageNames[] = {"[English]", "[简体中文]", "[Française]", "[Deutsch]",
                                      "[Español]", "[Italian]",  "[Nederlands]"};

class LanTables : public ::testing::Test {
protected:
    void SetUp() override {
        lan_build(v);
        v.lan_index = 1000;
    }
    const QString& text(int language, int k) const {
        return v.lan_text.at(10000 + 1000 * language + k);
    }
    LanguageState v;
};

TEST_F(LanTables, EveryLanguageFillsTheSameNumbersAndNothingElseIsWritten) {
    const std::set<int> expected = non_empty_numbers();
    for (int i = 0; i < kLanTextSize; ++i) {
        const QString& entry = v.lan_text[i];
        if (i >= 10001 && i <= 10007) {
            EXPECT_EQ(entry, QString::fromUtf8(kLanguageNames[i - 10001])) << i;
        } else if (i >= 11000 && i <= 17999) {
            EXPECT_EQ(!entry.isEmpty(), expected.count(i % 1000) == 1) << "entry " << i;
        } else {
            EXPECT_TRUE(entry.isEmpty()) << "entry " << i;
        }
    }
}

TEST_F(LanTables, EnglishReadsAsTheProgramHasAlwaysShownIt) {
    const std::pair<int, const char*> english[] = {
        {0, "File(&F)"},
        {1, "Set up(&S)"},
        {2, "Open(&O)"},
        {3, "Close(&C)"},
        {4, "Save"},
        {5, "Exit(&E)"},
        {6, "Help(&H)"},
        {7, "About(&A)"},
        {8, "Help Topics"},
        {9, "About"},
        {10, "Opening...."},
        {15, "Sampling rate"},
        {16, "No Data!"},
        {17, "File format error!"},
        {18, "Serial port does not exist or occupied!"},
        {19, ""},
        {20, "Warning!"},
        {21, ""},
        {22, "Error file format!"},
        {23, "File has been Saved!"},
        {24, "Failed to save the file !"},
        {25, "File does not exist!"},
        {26, "Help Manual"},
        {27, "Recording interval"},
        {28, "Seconds"},
        {30, "OK"},
        {31, "Cancel"},
        {100, "Close Port"},
        {101, "Set"},
        {102, "Port"},
        {103, "bps"},
        {104, "Manual command"},
        {105, "Instrument\rInformation"},
        {106, "Inspection"},
        {107, "Configuration"},
        {108, "Read"},
        {109, "Output"},
        {110, "Data recording"},
        {111, "Target"},
        {112, "Quantity"},
        {113, "Interval\r(seconds)"},
        {114, "Record"},
        {115, "Quick Start"},
        {116, "Manufacturers"},
        {117, "Model"},
        {118, "Serial number"},
        {119, "Info"},
        {120, "Graphics"},
        {121, "Form"},
        {122, "Send command line"},
        {123, "Send"},
        {124, "Receive"},
        {131, "Please input remote IP address!"},
        {132, "Please input remote IP address and UDP port(like 192.168.1.25:1200):"},
        {133, "Open remote IP address"},
        {134, " Error!"},
        {200, "About"},
        {201, "**********************************"},
        {202, " "},
        {203, "Telvane SCPI Software "},
        {204, " "},
        {205, "Version 1.0"},
        {206, " "},
        {207, "**********************************"},
    };
    for (auto [k, expected] : english)
        EXPECT_EQ(v.text(k), QString::fromUtf8(expected)) << "text " << k;
}

// The texts whose oddities the program must keep: doubled apostrophes, spaces at the ends,
// line breaks in some languages only.
TEST_F(LanTables, OtherLanguagesKeepTheirExactWording) {
    struct Case {
        int language;
        int k;
        const char* expected;
    };
    const Case cases[] = {
        {2, 0, "文件(&F)"},
        {2, 105, "仪器信息"},
        {2, 113, "间隔(秒)"},
        {2, 133, "打开网络地址: "},
        {2, 134, " 发生错误!"},
        {2, 200, "关于"},
        {3, 1, "Mettre en place des(&S)"},
        {3, 18, "Le port série n''existe pas ou occupés!"},
        {3, 22, "format d''erreur!"},
        {3, 105, "informations sur\rl'instrument"},
        {3, 113, "Interval\r(seconds)"},
        {3, 132,
         "S'il vous plaît l'adresse IP d'entrée à distance et le port UDP (comme "
         "192.168.1.25:1200):"},
        {4, 3, "in der Nähe(&C)"},
        {4, 105, "Geräteinformationen"},
        {4, 113, "Intervall\r(Sekunden)"},
        {4, 134, " Error!"},
        {5, 105, "instrumento\rde información"},
        {5, 134, " ¡Error!"},
        {6, 8, "Argomenti della Guida"},
        {6, 105, "Informazioni\rstrumento"},
        {7, 28, "seconden "},
        {7, 105, "instrument\rInformatie"},
        {7, 132, "Voer remote IP-adres en UDP-poort (zoals 192.168.1.25:1200):"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text(c.language, c.k), QString::fromUtf8(c.expected))
            << "language " << c.language << " text " << c.k;
}

TEST_F(LanTables, SharedTextsReadTheSameInEveryLanguage) {
    for (int language = 2; language <= 7; ++language) {
        for (int k : {19, 21, 103, 201, 202, 203, 204, 205, 206, 207, 208, 210, 220})
            EXPECT_EQ(text(language, k), text(1, k)) << "language " << language << " text " << k;
    }
}

// Menus show "&" as an accelerator and buttons would too, so it may stand only where a menu
// caption marks its letter, and every language marks the letter that English marks.
TEST_F(LanTables, AcceleratorsAreTheEnglishLettersAndAppearNowhereElse) {
    const std::set<int> menus = {0, 1, 2, 3, 5, 6, 7};
    for (int language = 1; language <= 7; ++language) {
        for (int k = 0; k < 1000; ++k) {
            const QString& t = text(language, k);
            if (menus.count(k)) {
                EXPECT_TRUE(t.endsWith(text(1, k).right(4))) << language << " " << k;
                EXPECT_EQ(t.count(QChar('&')), 1) << language << " " << k;
            } else {
                EXPECT_FALSE(t.contains(QChar('&'))) << language << " " << k;
            }
        }
    }
}

// Line breaks are a lone carriage return, and only the two-line labels carry one.
TEST_F(LanTables, LineBreaksAreLoneCarriageReturnsInTheTwoLineLabelsOnly) {
    for (int language = 1; language <= 7; ++language) {
        for (int k = 0; k < 1000; ++k) {
            const QString& t = text(language, k);
            EXPECT_FALSE(t.contains(QChar('\n'))) << language << " " << k;
            if (k != 105 && k != 113) {
                EXPECT_FALSE(t.contains(QChar('\r'))) << language << " " << k;
            }
            EXPECT_LE(t.count(QChar('\r')), 1) << language << " " << k;
        }
    }
}

TEST_F(LanTables, BuildingAgainStoresTheSameValues) {
    const std::vector<QString> first = v.lan_text;
    lan_build(v);
    EXPECT_EQ(v.lan_text, first);
}

TEST_F(LanTables, LanguageNameGuardsTheIndex) {
    const std::pair<int, const char*> cases[] = {
        {1000, "[English]"}, {2000, "[简体中文]"}, {7000, "[Nederlands]"},
        {8000, ""},          {9000, ""},           {0, ""},
        {10000, ""},         {-1000, ""},          {1500, ""},
    };
    for (auto [index, name] : cases)
        EXPECT_EQ(lan_name_of_index(v, index), QString::fromUtf8(name)) << index;

    LanguageState unbuilt;
    EXPECT_EQ(lan_name_of_index(unbuilt, 1000), QString());

    v.lan_text[10008] = QStringLiteral(" \t[Extra]\r ");
    EXPECT_EQ(lan_name_of_index(v, 8000), QStringLiteral("[Extra]"));
    v.lan_text[10008] = QStringLiteral(" \r\n\t ");
    EXPECT_EQ(lan_name_of_index(v, 8000), QString());
}

TEST_F(LanTables, AboutTextListsTheNonEmptyLinesInTheCurrentLanguage) {
    const QString stars = QString(34, QChar('*'));
    const QString english =
        stars + "\r\n \r\nTelvane SCPI Software \r\n \r\nVersion 1.0\r\n \r\n" + stars + "\r\n";
    EXPECT_EQ(about_text(v), english);
    v.lan_index = 3000;
    EXPECT_EQ(about_text(v), english);

    // A line further down comes right after the others: the empty ones between leave no gap.
    v.lan_text[13215] = QStringLiteral("Extra");
    EXPECT_EQ(about_text(v), english + "Extra\r\n");
}

} // namespace
