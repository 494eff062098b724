// The demo's articles, VAT codes, rounding brackets and media items: the data a trading
// company of household, DIY and food goods would keep.
#include "db/demo_database.h"

namespace demo {

namespace {

DemoArticle article(const char* code, const char* description, const char* vat, int bracket = 0,
                    bool round = false, QList<DemoOption> options = {}) {
    DemoArticle a;
    a.code = QString::fromUtf8(code);
    a.description = QString::fromUtf8(description);
    a.vatCode = QString::fromUtf8(vat);
    a.bracket = bracket;
    a.roundPrices = round;
    a.options = std::move(options);
    return a;
}

DemoOption option(const char* code, const char* description) {
    return {QString::fromUtf8(code), QString::fromUtf8(description)};
}

DemoArticle ofCompany(int company, DemoArticle a) {
    a.company = company;
    return a;
}

} // namespace

QList<DemoArticle> demoArticles() {
    return {
        article("VITI-INOX-4X40", "Viti inox testa svasata 4x40 (conf. 100 pz)", "22", 1, true),
        article("TASS-NYLON-8", "Tasselli in nylon 8 mm (conf. 50 pz)", "22", 1, true),
        article("MART-CARP-500", "Martello da carpentiere 500 g", "22", 2, true),
        article("CACC-CROCE-SET", "Set cacciaviti a croce 6 pezzi", "22", 2, true),
        article("TRAP-BATT-18V", "Trapano avvitatore a batteria 18 V", "22", 3, true),
        article("SMER-ANG-115", "Smerigliatrice angolare 115 mm 850 W", "22", 3, true),
        article("SMALTO-ACQUA-075", "Smalto all'acqua 0,75 l", "22", 2, true,
                {option("BIANCO", "Smalto all'acqua 0,75 l - bianco lucido"),
                 option("ROSSO", "Smalto all'acqua 0,75 l - rosso segnale"),
                 option("BLU", "Smalto all'acqua 0,75 l - blu genziana"),
                 option("VERDE", "Smalto all'acqua 0,75 l - verde muschio")}),
        article("PITT-TRASP-14", "Pittura traspirante per interni 14 l", "22", 3, true,
                {option("BIANCO", "Pittura traspirante 14 l - bianco"),
                 option("AVORIO", "Pittura traspirante 14 l - avorio")}),
        article("GUANTI-NITRILE", "Guanti da lavoro in nitrile", "22", 1, true,
                {option("TG-M", "Guanti da lavoro in nitrile - taglia M"),
                 option("TG-L", "Guanti da lavoro in nitrile - taglia L"),
                 option("TG-XL", "Guanti da lavoro in nitrile - taglia XL")}),
        article("SCARPE-S3", "Scarpe antinfortunistiche S3", "22", 3, true,
                {option("N40", "Scarpe antinfortunistiche S3 - numero 40"),
                 option("N42", "Scarpe antinfortunistiche S3 - numero 42"),
                 option("N44", "Scarpe antinfortunistiche S3 - numero 44")}),
        article("LAMP-LED-E27", "Lampadina LED E27 10 W", "22", 1, true,
                {option("2700K", "Lampadina LED E27 10 W - luce calda 2700 K"),
                 option("4000K", "Lampadina LED E27 10 W - luce naturale 4000 K"),
                 option("6500K", "Lampadina LED E27 10 W - luce fredda 6500 K")}),
        article("PROLUNGA-5M", "Prolunga elettrica 5 m con presa schuko", "22", 1, true),
        article("SCALA-ALLU-5", "Scala in alluminio 5 gradini", "22", 3, true),
        article("CARRIOLA-90", "Carriola da cantiere 90 l", "22", 3, true),
        article("SILICONE-280", "Silicone acetico trasparente 280 ml", "22", 1, true),
        article("TUBO-GIARD-25", "Tubo da giardino 1/2\" 25 m", "22", 2, true),
        // A bracket without the rounding flag: its prices are never rounded by it.
        article("FORBICI-POTA", "Forbici da potatura professionali", "22", 2, false),
        article("PELLET-15KG", "Pellet di abete 15 kg", "22", 1, true),
        article("SEMENTI-PRATO", "Sementi per prato rustico 1 kg", "10"),
        article("TERRICCIO-50", "Terriccio universale 50 l", "10", 1, true),
        article("LEGNA-FAGGIO", "Legna da ardere di faggio (al quintale)", "10"),
        article("BISCOTTI-700", "Biscotti di pasta frolla 700 g", "10", 1, true),
        article("CONCIME-10KG", "Concime universale granulare 10 kg", "4"),
        article("OLIO-EVO-1L", "Olio extravergine d'oliva 1 l", "4", 3, true),
        article("PASTA-SEMOLA", "Pasta di semola di grano duro 500 g", "4", 1, true),
        article("PARMIGIANO-24", "Parmigiano Reggiano 24 mesi (al kg)", "4"),
        article("MOZZARELLA-BUF", "Mozzarella di bufala campana DOP 250 g", "4", 1, true),
        article("LATTE-UHT-1L", "Latte UHT parzialmente scremato 1 l", "4"),
        article("MANUALE-BRICO", "Manuale pratico del fai da te", "4", 3, true),
        article("MIELE-MILLEF", "Miele millefiori di produzione propria 500 g", "10C"),
        article("UOVA-FRESCHE", "Uova fresche da allevamento a terra (6 pz)", "10C"),
        article("CAFFE-MOKA-250", "Caffè macinato per moka 250 g", "22", 1, true),
        article("VINO-ROSSO-075", "Vino rosso Montepulciano d'Abruzzo 0,75 l", "22", 3, true),
        ofCompany(SalesOnlyCompany,
                  article("BORRACCIA-075", "Borraccia in acciaio 0,75 l", "22", 1, true)),
        ofCompany(SalesOnlyCompany, article("ZAINO-25L", "Zaino da escursione 25 l", "22", 3, true,
                                            {option("NERO", "Zaino da escursione 25 l - nero"),
                                             option("ROSSO", "Zaino da escursione 25 l - rosso")})),
        ofCompany(SalesOnlyCompany, article("MAPPA-SENTIERI", "Carta dei sentieri 1:25.000", "4")),
    };
}

QList<DemoVatCode> demoVatCodes() {
    return {
        {QStringLiteral("22"), QStringLiteral("Aliquota ordinaria 22%"), QStringLiteral("22")},
        {QStringLiteral("10"), QStringLiteral("Aliquota ridotta 10%"), QStringLiteral("10")},
        {QStringLiteral("4"), QStringLiteral("Aliquota minima 4%"), QStringLiteral("4")},
        {QStringLiteral("10C"), QStringLiteral("Compensazione agricola 10,5%"),
         QStringLiteral("10.5")},
    };
}

QList<DemoBracketRange> demoBrackets() {
    const QString to5Cents = QStringLiteral("A 0,05 (a 0,10 da 50 euro)");
    const QString ending90 = QStringLiteral("A 0,10; da 10 euro finale 0,90");
    const QString ending99 = QStringLiteral("All'euro con finale 0,99");
    return {
        {1, to5Cents, QStringLiteral("0"), QStringLiteral("0.05"), {}},
        {1, to5Cents, QStringLiteral("50"), QStringLiteral("0.1"), {}},
        {2, ending90, QStringLiteral("0"), QStringLiteral("0.1"), {}},
        {2, ending90, QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("0.9")},
        {3, ending99, QStringLiteral("0"), QStringLiteral("0.1"), {}},
        {3, ending99, QStringLiteral("5"), QStringLiteral("1"), QStringLiteral("0.99")},
        {3, ending99, QStringLiteral("100"), QStringLiteral("10"), QStringLiteral("9")},
        {10, QStringLiteral("Al centesimo"), QStringLiteral("0"), QStringLiteral("0.01"), {}},
    };
}

QList<DemoMedia> demoMedia() {
    return {
        {1, QStringLiteral("Scheda tecnica trapano avvitatore 18 V"),
         QStringLiteral("media/trapano-18v.pdf")},
        {2, QStringLiteral("Cartella colori smalto all'acqua"),
         QStringLiteral("media/smalto-colori.jpg")},
    };
}

} // namespace demo
