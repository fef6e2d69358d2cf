// The generated books' names, in the scripts people write them in: ascii,
// latin (accented), cyrillic, greek and cjk (Chinese, Japanese, Korean). Each
// has the Latin spelling its owner's e-mail address uses (none where the name
// is ASCII already); every name outside the ascii pool holds a character
// outside ASCII.
#ifndef VESNIK_BENCH_SCRIPTNAMES_H
#define VESNIK_BENCH_SCRIPTNAMES_H

#include <array>
#include <string_view>

namespace vesnik::bench {

struct Name {
    std::string_view written;
    std::string_view latin = {};

    std::string_view inLatin() const { return latin.empty() ? written : latin; }
};

struct ScriptNames {
    char const* script;
    std::array<Name, 24> family;
    std::array<Name, 24> given;
};

constexpr ScriptNames kScriptNames[] = {
    {"ascii",
     {{{"Adler"},    {"Baptiste"}, {"Castell"},  {"Dvorak"}, {"Eriksen"},  {"Fontaine"},
       {"Gallo"},    {"Haddad"},   {"Ivanova"},  {"Jansen"}, {"Kowalski"}, {"Lindqvist"},
       {"Moreau"},   {"Nakamura"}, {"Okafor"},   {"Petrov"}, {"Quist"},    {"Rossi"},
       {"Sandoval"}, {"Tanaka"},   {"Urquhart"}, {"Varga"},  {"Whitby"},   {"Yilmaz"}}},
     {{{"Ada"},   {"Bruno"}, {"Chidi"},  {"Dana"},  {"Emil"},  {"Farah"}, {"Goran"}, {"Hana"},
       {"Ines"},  {"Jonas"}, {"Kira"},   {"Lucia"}, {"Milan"}, {"Nora"},  {"Oskar"}, {"Petra"},
       {"Quinn"}, {"Rosa"},  {"Stefan"}, {"Tove"},  {"Umar"},  {"Vera"},  {"Wim"},   {"Zoe"}}}},
    {"latin",
     {{{"Álvarez", "Alvarez"},
       {"Bjørnstad", "Bjornstad"},
       {"Čapek", "Capek"},
       {"Dvořák", "Dvorak"},
       {"Eriksdóttir", "Eriksdottir"},
       {"Fernández", "Fernandez"},
       {"Gašparović", "Gasparovic"},
       {"Hämäläinen", "Hamalainen"},
       {"Íñiguez", "Iniguez"},
       {"Jørgensen", "Jorgensen"},
       {"Kovačić", "Kovacic"},
       {"Łukasiewicz", "Lukasiewicz"},
       {"Müller", "Mueller"},
       {"Núñez", "Nunez"},
       {"Ødegaard", "Odegaard"},
       {"Păunescu", "Paunescu"},
       {"Quiñones", "Quinones"},
       {"Řezníček", "Reznicek"},
       {"Søndergaard", "Sondergaard"},
       {"Þórsson", "Thorsson"},
       {"O’Connor", "OConnor"},
       {"Vázquez", "Vazquez"},
       {"Weiß", "Weiss"},
       {"Żółkiewski", "Zolkiewski"}}},
     {{{"Ágnes", "Agnes"},   {"Björk", "Bjork"},       {"Çağla", "Cagla"}, {"Dóra", "Dora"},
       {"Élodie", "Elodie"}, {"François", "Francois"}, {"Gréta", "Greta"}, {"Hélène", "Helene"},
       {"Íris", "Iris"},     {"Jiří", "Jiri"},         {"Kübra", "Kubra"}, {"Łucja", "Lucja"},
       {"Mário", "Mario"},   {"Noémie", "Noemie"},     {"Örjan", "Orjan"}, {"Pál", "Pal"},
       {"Rúna", "Runa"},     {"Søren", "Soren"},       {"Þóra", "Thora"},  {"Úrsula", "Ursula"},
       {"Václav", "Vaclav"}, {"Włodek", "Wlodek"},     {"Zoë", "Zoe"},     {"Æsa", "Aesa"}}}},
    {"cyrillic",
     {{{"Иванов", "Ivanov"},     {"Смирнов", "Smirnov"},     {"Кузнецов", "Kuznetsov"},
       {"Попов", "Popov"},       {"Васильев", "Vasilyev"},   {"Петров", "Petrov"},
       {"Соколов", "Sokolov"},   {"Михайлов", "Mikhailov"},  {"Новиков", "Novikov"},
       {"Фёдоров", "Fyodorov"},  {"Морозов", "Morozov"},     {"Волков", "Volkov"},
       {"Алексеев", "Alekseev"}, {"Лебедев", "Lebedev"},     {"Семёнов", "Semyonov"},
       {"Егоров", "Egorov"},     {"Павлов", "Pavlov"},       {"Козлов", "Kozlov"},
       {"Степанов", "Stepanov"}, {"Николаев", "Nikolaev"},   {"Орлов", "Orlov"},
       {"Андреев", "Andreev"},   {"Шевченко", "Shevchenko"}, {"Ковальчук", "Kovalchuk"}}},
     {{{"Александр", "Aleksandr"}, {"Алёна", "Alyona"},    {"Борис", "Boris"},
       {"Вера", "Vera"},           {"Галина", "Galina"},   {"Дмитрий", "Dmitry"},
       {"Евгений", "Evgeny"},      {"Жанна", "Zhanna"},    {"Зоя", "Zoya"},
       {"Игорь", "Igor"},          {"Ксения", "Ksenia"},   {"Людмила", "Lyudmila"},
       {"Михаил", "Mikhail"},      {"Наталья", "Natalya"}, {"Ольга", "Olga"},
       {"Пётр", "Pyotr"},          {"Руслан", "Ruslan"},   {"Светлана", "Svetlana"},
       {"Татьяна", "Tatyana"},     {"Юрий", "Yury"},       {"Яна", "Yana"},
       {"Фёдор", "Fyodor"},        {"Олег", "Oleg"},       {"Эмиль", "Emil"}}}},
    {"greek",
     {{{"Παπαδόπουλος", "Papadopoulos"},
       {"Γεωργίου", "Georgiou"},
       {"Οικονόμου", "Oikonomou"},
       {"Δημητρίου", "Dimitriou"},
       {"Νικολάου", "Nikolaou"},
       {"Κωνσταντίνου", "Konstantinou"},
       {"Ιωάννου", "Ioannou"},
       {"Βασιλείου", "Vasileiou"},
       {"Αθανασίου", "Athanasiou"},
       {"Χριστοδούλου", "Christodoulou"},
       {"Μακρής", "Makris"},
       {"Αλεξίου", "Alexiou"},
       {"Σταύρου", "Stavrou"},
       {"Ζαχαρίου", "Zachariou"},
       {"Θεοδώρου", "Theodorou"},
       {"Καραγιάννης", "Karagiannis"},
       {"Λαμπράκης", "Lamprakis"},
       {"Μαυρίδης", "Mavridis"},
       {"Ξενάκης", "Xenakis"},
       {"Πετρίδης", "Petridis"},
       {"Ρήγας", "Rigas"},
       {"Σπυρόπουλος", "Spyropoulos"},
       {"Τσακίρης", "Tsakiris"},
       {"Φωτίου", "Fotiou"}}},
     {{{"Αλέξανδρος", "Alexandros"},
       {"Βασιλική", "Vasiliki"},
       {"Γιώργος", "Giorgos"},
       {"Δήμητρα", "Dimitra"},
       {"Ελένη", "Eleni"},
       {"Ζωή", "Zoi"},
       {"Ηλίας", "Ilias"},
       {"Θεοδώρα", "Theodora"},
       {"Ιωάννης", "Ioannis"},
       {"Κατερίνα", "Katerina"},
       {"Λευτέρης", "Lefteris"},
       {"Μαρία", "Maria"},
       {"Νίκος", "Nikos"},
       {"Ξανθή", "Xanthi"},
       {"Όλγα", "Olga"},
       {"Παναγιώτης", "Panagiotis"},
       {"Ρένα", "Rena"},
       {"Σοφία", "Sofia"},
       {"Τάσος", "Tasos"},
       {"Υπατία", "Ypatia"},
       {"Φώτης", "Fotis"},
       {"Χαρά", "Chara"},
       {"Άννα", "Anna"},
       {"Ευάγγελος", "Evangelos"}}}},
    {"cjk",
     {{{"王", "Wang"},       {"李", "Li"},       {"张", "Zhang"},       {"刘", "Liu"},
       {"陈", "Chen"},       {"杨", "Yang"},     {"黄", "Huang"},       {"赵", "Zhao"},
       {"周", "Zhou"},       {"吴", "Wu"},       {"徐", "Xu"},          {"孙", "Sun"},
       {"佐藤", "Sato"},     {"鈴木", "Suzuki"}, {"高橋", "Takahashi"}, {"田中", "Tanaka"},
       {"渡辺", "Watanabe"}, {"伊藤", "Ito"},    {"김", "Kim"},         {"이", "Lee"},
       {"박", "Park"},       {"최", "Choi"},     {"정", "Jung"},        {"강", "Kang"}}},
     {{{"伟", "Wei"},        {"芳", "Fang"},     {"娜", "Na"},       {"敏", "Min"},
       {"静", "Jing"},       {"丽", "Li"},       {"强", "Qiang"},    {"磊", "Lei"},
       {"洋", "Yang"},       {"艳", "Yan"},      {"勇", "Yong"},     {"军", "Jun"},
       {"翔太", "Shota"},    {"陽菜", "Hina"},   {"蓮", "Ren"},      {"結衣", "Yui"},
       {"さくら", "Sakura"}, {"ゆうと", "Yuto"}, {"민준", "Minjun"}, {"서연", "Seoyeon"},
       {"지훈", "Jihun"},    {"하은", "Haeun"},  {"도윤", "Doyun"},  {"수아", "Sua"}}}},
};

}  // namespace vesnik::bench

#endif
