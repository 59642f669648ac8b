#include "shell/CaptionTable.h"

#include "shell/ControlNames.h"

#include <QAnyStringView>

namespace
{
using Kind = CaptionTable::Kind;

CaptionTable::Row caption(QAnyStringView control, const char* en, const char* pt)
{
    return {control.toString(), Kind::Caption, {QString::fromUtf8(en), QString::fromUtf8(pt)}};
}

CaptionTable::Row tip(QAnyStringView control, const char* en, const char* pt)
{
    return {control.toString(), Kind::ToolTip, {QString::fromUtf8(en), QString::fromUtf8(pt)}};
}
} // namespace

const QVector<CaptionTable::Row>& CaptionTable::rows()
{
    using namespace ControlNames;
    static const QVector<Row> table = {
        tip(Main::kMessagePanel, "System Message", "Mensagem do Sistema"),
        caption("mconectar", "Connect...", "Conectar..."),
        caption("mdesconectar", "Disconnect", "Desconectar"),
        caption("msair", "Exit", "Encerrar"),
        caption("mopcoes", "Options...", "Opções..."),
        caption("mabrirtabelas", "Open Table in Excel...", "Abrir Tabela no Excel..."),
        caption("mfile", "File", "Arquivo"),
        caption("mnewqtable", "New", "Novo"),
        caption("mopenqtable", "Open...", "Abrir..."),
        caption("msaveqtable", "Save", "Salvar"),
        caption("msaveasqtable", "Save As...", "Salvar como..."),
        caption("mcloseqtable", "Close", "Fechar"),
        caption("mtable", "Table", "Tabela"),
        caption("mntable", "New", "Nova"),
        caption("mnewtable", "Table", "Tabela"),
        caption("mnewfolder", "Folder", "Pasta"),
        caption("mnewroot", "Root", "Raiz"),
        caption("mcuttable", "Cut", "Recortar"),
        caption("mpastetable", "Paste", "Colar"),
        caption("mremovetable", "Delete", "Excluir"),
        caption("mrename", "Rename", "Renomear"),
        caption("msinglesel", "Single Click", "Clique Simples"),
        caption("mfields", "Fields", "Campos"),
        caption("mcopytomytable", "Copy to My Table", "Copiar para Minha Tabela"),
        caption("mprintfields", "Print Fields", "Imprimir Campos"),
        caption("mviewfields", "View", "Ver"),
        caption("mviewfieldsdetail", "Detail", "Detalhe"),
        caption("mviewfieldslist", "List", "Lista"),
        caption("mfieldsgridlines", "Gridlines", "Linhas de Grade"),
        caption("mmytable", "My Table", "Minha Tabela"),
        caption("mqpreview", "Preview", "Visualizar"),
        caption("mprintfieldsmytable", "Print Fields", "Imprimir Campos"),
        caption("mprintpreview", "Print Preview", "Imprimir Visualizar"),
        caption("mcloseqpreview", "Close Preview", "Fechar Visualizar"),
        caption("mimportmytable", "Import Table", "Importar Tabela"),
        caption("mopenmytable", "Open Table", "Abrir Tabela"),
        caption("mrows", "Rows", "Linhas"),
        caption("mcloserows", "Close Rows", "Fechar Linhas"),
        caption("mmovedown", "Move Down", "Mover Abaixo"),
        caption("mmoveup", "Move Up", "Mover Acima"),
        caption("mremovefield", "Remove Fields", "Remover Campos"),
        caption("mremoveallfields", "Remove All Fields", "Remover Todos Campos"),
        caption("moptions", "Options", "Opções"),
        caption("mshowoption", "Show Option", "Mostar Opções"),
        caption("mprintoptions", "Print Options", "Imprimir Opções"),
        caption("mremoveoption", "Remove Options", "Remover Opções"),
        caption("mremovealloptions", "Remove All Options", "Remover Todas Opções"),
        caption("mver", "View", "Exibir"),
        caption("mtoolbar", "Toolbar", "Barra de Ferramentas"),
        caption("mstatusbar", "Status Bar", "Barra de Status"),
        caption("mjanela", "Window", "Janela"),
        caption("mauxilio", "Help", "Auxílio"),
        caption("mauxiliogeral", "Contents", "Auxílio Geral"),
        caption("msobrevub", "About Zorv", "Sobre Zorv"),
        tip("Conectar", "Connect to R/3 System", "Conectar R/3 System"),
        tip("SapLogon", "SAP Logon", "SAP Logon"),
        tip("Opcoes", "Options", "Opções"),
        tip("NewQTable", "New Quillon", "Novo Quillon"),
        tip("OpenQTable", "Open Quillon", "Abrir Quillon"),
        tip("Save", "Save Quillon", "Save Quillon"),
        tip("AbrirTabelas", "Open Table in Excel", "Abrir Tabela no Excel"),
        tip("Preview", "Preview", "Visualizar"),
        tip("ImportMyTable", "Import Table", "Importar Tabela"),
        tip("OpenMyTable", "Open Table", "Abrir Tabela"),
        tip("Auxilio", "Help - Contents", "Auxílio Geral"),
        tip("Sair", "Exit", "Encerrar"),
        caption(Options::kDialog, "Options", "Opções"),
        caption(Options::inDialog(Options::kLanguageBox), "Language", "Linguagem"),
        caption(Options::inDialog(Options::kSeparatorBox), "List Separator", "Separador de Lista"),
        tip(Options::inDialog(Options::kLanguageBox), "Language used in Quillon",
            "Linguagem usada em Quillon"),
    };
    return table;
}

BiText CaptionTable::text(const QString& control, Kind kind)
{
    for (const Row& row : rows()) {
        if (row.control == control && row.kind == kind)
            return row.text;
    }
    return {};
}
