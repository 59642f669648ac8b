#include "window/main/MenuLayout.h"

#include <QHash>

namespace
{
using Item = MenuLayout::Item;

Item item(const char* name)
{
    return {QString::fromLatin1(name), false, std::nullopt, false, {}};
}

Item fixed(const char* name, TextId caption)
{
    return {QString::fromLatin1(name), false, caption, false, {}};
}

Item checked(const char* name)
{
    return {QString::fromLatin1(name), false, std::nullopt, true, {}};
}

Item separator(const char* name)
{
    return {QString::fromLatin1(name), true, std::nullopt, false, {}};
}

Item menu(const char* name, QVector<Item> children, std::optional<TextId> caption = std::nullopt)
{
    return {QString::fromLatin1(name), false, caption, false, std::move(children)};
}
} // namespace

const QVector<MenuLayout::Item>& MenuLayout::menus()
{
    static const QVector<Item> tree = {
        menu("mr3system",
             {item("mconectar"), item("mdesconectar"), fixed("msapsysinfo", TextId::MenuSapSysInfo),
              separator("m11"), fixed("msaplogon", TextId::MenuSapLogon), separator("m12"),
              item("mopcoes"), separator("m13"), item("msair")},
             TextId::MenuR3System),
        menu("mfile", {item("mnewqtable"), item("mopenqtable"), separator("m601"),
                       item("msaveqtable"), item("msaveasqtable"), separator("m602"),
                       item("mabrirtabelas"), separator("m603"), item("mcloseqtable")}),
        menu("mtable",
             {menu("mntable", {item("mnewtable"), item("mnewfolder"), item("mnewroot")}),
              separator("m611"), item("mcuttable"), item("mpastetable"), separator("m612"),
              item("mremovetable"), item("mrename"), separator("m613"), checked("msinglesel")}),
        menu("mfields",
             {item("mcopytomytable"), item("mprintfields"), separator("m621"),
              menu("mviewfields", {checked("mviewfieldsdetail"), checked("mviewfieldslist")}),
              checked("mfieldsgridlines")}),
        menu("mmytable", {item("mqpreview"), item("mprintfieldsmytable"), item("mprintpreview"),
                          item("mcloseqpreview"), separator("m631"), item("mimportmytable"),
                          item("mopenmytable"), separator("m632"), item("mrows"),
                          item("mcloserows"), separator("m633"), item("mmovedown"), item("mmoveup"),
                          item("mremovefield"), item("mremoveallfields")}),
        menu("moptions", {item("mshowoption"), item("mprintoptions"), separator("m641"),
                          item("mremoveoption"), item("mremovealloptions")}),
        menu("mver", {checked("mtoolbar"), checked("mstatusbar")}),
        menu("mjanela", {fixed("mvertical", TextId::MenuVertical),
                         fixed("mhorizontal", TextId::MenuHorizontal),
                         fixed("mtabular", TextId::MenuTabular)}),
        menu("mauxilio",
             {item("mauxiliogeral"), item("msobrevub"),
              menu("mvub",
                   {fixed("mvubhp", TextId::MenuHomePage), fixed("msupport", TextId::MenuSupport)},
                   TextId::MenuOnTheWeb)}),
    };
    return tree;
}

const QVector<MenuLayout::ToolButton>& MenuLayout::toolbar()
{
    static const QVector<ToolButton> buttons = {
        {1, QStringLiteral("Conectar"), QStringLiteral("mconectar"), QStringLiteral("connect")},
        {2, QStringLiteral("SapLogon"), QStringLiteral("msaplogon"), QStringLiteral("saplogon")},
        {3, QStringLiteral("Opcoes"), QStringLiteral("mopcoes"), QStringLiteral("options")},
        {4, {}, {}, {}},
        {5, QStringLiteral("NewQTable"), QStringLiteral("mnewqtable"), QStringLiteral("new")},
        {6, QStringLiteral("OpenQTable"), QStringLiteral("mopenqtable"), QStringLiteral("open")},
        {7, QStringLiteral("Save"), QStringLiteral("msaveqtable"), QStringLiteral("save")},
        {8, QStringLiteral("AbrirTabelas"), QStringLiteral("mabrirtabelas"),
         QStringLiteral("spreadsheet")},
        {9, {}, {}, {}},
        {10, QStringLiteral("Preview"), QStringLiteral("mqpreview"), QStringLiteral("preview")},
        {11, QStringLiteral("ImportMyTable"), QStringLiteral("mimportmytable"),
         QStringLiteral("export")},
        {12, QStringLiteral("OpenMyTable"), QStringLiteral("mopenmytable"),
         QStringLiteral("open-table")},
        {13, {}, {}, {}},
        {14, QStringLiteral("Auxilio"), QStringLiteral("mauxiliogeral"), QStringLiteral("help")},
        {15, QStringLiteral("Sair"), QStringLiteral("msair"), QStringLiteral("exit")},
    };
    return buttons;
}

const QVector<MenuLayout::MenuPicture>& MenuLayout::menuPictures()
{
    static const QVector<MenuPicture> pictures = {
        {0, 0, QStringLiteral("connect")},    {0, 4, QStringLiteral("saplogon")},
        {0, 6, QStringLiteral("options")},    {0, 8, QStringLiteral("exit")},
        {1, 0, QStringLiteral("new")},        {1, 1, QStringLiteral("open")},
        {1, 3, QStringLiteral("save")},       {1, 6, QStringLiteral("spreadsheet")},
        {3, 0, QStringLiteral("copy")},       {4, 0, QStringLiteral("preview")},
        {4, 5, QStringLiteral("export")},     {4, 6, QStringLiteral("open-table")},
        {4, 11, QStringLiteral("move-down")}, {4, 12, QStringLiteral("move-up")},
        {4, 13, QStringLiteral("remove")},    {8, 0, QStringLiteral("help")},
    };
    return pictures;
}

QString MenuLayout::commandForKey(const QString& key)
{
    if (key.isEmpty())
        return {};
    for (const ToolButton& button : toolbar()) {
        if (button.key == key)
            return button.command;
    }
    return {};
}

QKeySequence MenuLayout::shortcut(const QString& item)
{
    static const QHash<QString, QKeySequence> keys = {
        {QStringLiteral("mnewqtable"), QKeySequence(Qt::CTRL | Qt::Key_N)},
        {QStringLiteral("mopenqtable"), QKeySequence(Qt::CTRL | Qt::Key_O)},
        {QStringLiteral("msaveqtable"), QKeySequence(Qt::CTRL | Qt::Key_S)},
        {QStringLiteral("msaveasqtable"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {QStringLiteral("mcloseqtable"), QKeySequence(Qt::CTRL | Qt::Key_W)},
        {QStringLiteral("msair"), QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {QStringLiteral("mqpreview"), QKeySequence(Qt::Key_F5)},
        {QStringLiteral("mimportmytable"), QKeySequence(Qt::CTRL | Qt::Key_E)},
        {QStringLiteral("mauxiliogeral"), QKeySequence(Qt::Key_F1)},
    };
    return keys.value(item);
}
