#include "shell/Texts.h"

namespace
{
BiText two(const char* en, const char* pt)
{
    return {QString::fromUtf8(en), QString::fromUtf8(pt)};
}

BiText one(const char* text)
{
    return BiText::same(QString::fromUtf8(text));
}
} // namespace

BiText Texts::get(TextId id)
{
    switch (id) {
    case TextId::MainCaption:
        return one("Quillon for SAP R/3");
    case TextId::GreetingMorning:
        return two("Good morning ", "Bom dia ");
    case TextId::GreetingAfternoon:
        return two("Good afternoon ", "Boa tarde ");
    case TextId::GreetingEvening:
        return two("Good evening ", "Boa noite ");
    case TextId::Welcome:
        return two(". Welcome to Quillon", ". Bem-vindo ao Quillon");
    case TextId::Disconnected:
        return one("Disconnected ");
    case TextId::NotConnected:
        return one(" is not connected ");
    case TextId::DialogOpen:
        return two("Open", "Abrir");
    case TextId::DialogSaveAs:
        return two("Save As", "Salvar como");
    case TextId::DialogOpenTableInExcel:
        return two("Open Table in Excel", "Abrir Tabela no Excel");
    case TextId::Opening:
        return two("Opening ", "Abrindo ");
    case TextId::Opened:
        return two(" opened", " aberto");
    case TextId::CouldNotOpen:
        return two("Vub could not open ", "Vub não pode abrir ");
    case TextId::BrowserNotFound:
        return two("Sorry, I did not find your Browser", "Desculpe, não encontrei o seu Browser");
    case TextId::SapLogonNotFound:
        return one(" Saplogon.exe not found in c:\\ neither in d:\\");
    case TextId::HelpNotStarted:
        return two("The help could not be started: ", "O auxílio não pode ser iniciado: ");
    case TextId::SysInfoUnavailable:
        return one("System Information Is Unavailable At This Time");
    case TextId::AboutCaption:
        return one("Sobre o VUB");
    case TextId::AboutVersion:
        return one("Version ");
    case TextId::AboutNotice:
        return one("Zorv - SAP R/3 table browser");
    case TextId::AboutLinkTip:
        return one("Vub Home Page");
    case TextId::AboutContact:
        return one("support@zorv.example.com");
    case TextId::AboutLegalWarning:
        return two("Warning: this computer program is protected by copyright law and "
                   "international treaties. Unauthorized reproduction or distribution of this "
                   "program, or any portion of it, may result in severe civil and criminal "
                   "penalties, and will be prosecuted to the maximum extent possible under the "
                   "law.",
                   "Aviso: este programa de computador é protegido pela lei de direitos autorais "
                   "e por tratados internacionais. A reprodução ou distribuição não autorizada "
                   "deste programa, ou de qualquer parte dele, pode resultar em severas "
                   "penalidades civis e criminais, e será objeto de processo na máxima extensão "
                   "permitida pela lei.");
    case TextId::AboutSysInfo:
        return one("System Info...");
    case TextId::ButtonOk:
        return one("OK");
    case TextId::OptionEnglish:
        return one("English");
    case TextId::OptionPortuguese:
        return one("Português");
    case TextId::ProgressDownload:
        return one("Downloading...");
    case TextId::ProgressUpload:
        return one("Uploading...");
    case TextId::ProgressCurvaS:
        return one("S Curve...");
    case TextId::MenuR3System:
        return one("&R/3 System");
    case TextId::MenuSapSysInfo:
        return one("SAP System Information");
    case TextId::MenuSapLogon:
        return one("SAP Logon");
    case TextId::MenuVertical:
        return one("Vertical");
    case TextId::MenuHorizontal:
        return one("Horizontal");
    case TextId::MenuTabular:
        return one("Tabular");
    case TextId::MenuOnTheWeb:
        return one("Zorv on the Web");
    case TextId::MenuHomePage:
        return one("Zorv Home Page");
    case TextId::MenuSupport:
        return one("Online Support");
    case TextId::NoSystem:
        return two("No R/3 system is set up in this build.",
                   "Nenhum sistema R/3 está configurado nesta versão.");
    case TextId::AlreadyConnected:
        return one(" is already connected to ");
    case TextId::SystemLabel:
        return one("System: ");
    case TextId::ClientLabel:
        return one("Client: ");
    case TextId::LanguageLabel:
        return one("Language: ");
    case TextId::SystemNumberLabel:
        return one("System Number: ");
    case TextId::HostLabel:
        return one("Host: ");
    case TextId::ReleaseLabel:
        return one("SAP Release: ");
    case TextId::EnterLanguage:
        return one("Enter with the language, please");
    case TextId::RfcConnectionFailed:
        return two(" Connection to R/3 System RFC failed! ",
                   " Conexão com R/3 System RFC não concluída! ");
    case TextId::ComponentMissing:
        return one("Component ActiveX not installed: ");
    case TextId::SomeFilesMissing:
        return one("Some files are missing!");
    case TextId::LogonComponentMissing:
        return one("Wdtlog.ocx is missing!");
    case TextId::ReinstallSapGui:
        return one("To solve this problem please reinstall ( update ) your SAPGUI");
    case TextId::ReinstallProgram:
        return one("To solve this problem please reinstall Vub");
    case TextId::ProcessingRfcFor:
        return two("Processing RFC for ", "Processando RFC para ");
    case TextId::ReadTableNotAvailable:
        return two("The system has no table %1 (%2)%3. Check the name in the tree.",
                   "O sistema não tem a tabela %1 (%2)%3. Verifique o nome na árvore.");
    case TextId::ReadNotAuthorized:
        return two("Your user may not read the table %1 (%2)%3. Ask for read authority on it: "
                   "authorization object S_TABU_DIS for its authorization group, or S_TABU_NAM "
                   "for the table.",
                   "Seu usuário não pode ler a tabela %1 (%2)%3. Peça autorização de leitura: "
                   "objeto S_TABU_DIS para o grupo da tabela, ou S_TABU_NAM para a tabela.");
    case TextId::ReadOptionNotValid:
        return two("The system did not accept the options of %1 as a WHERE condition (%2)%3. "
                   "Check each option line: a blank around every operator and value, values in "
                   "quotes.",
                   "O sistema não aceitou as opções de %1 como condição WHERE (%2)%3. Verifique "
                   "cada linha: um espaço antes e depois de cada operador e valor, valores entre "
                   "aspas.");
    case TextId::ReadOptionLineNotValid:
        return two("The system did not accept the options of %1 as a WHERE condition (%2)%3. "
                   "Check the line \"%4\": a blank around every operator and value, values in "
                   "quotes.",
                   "O sistema não aceitou as opções de %1 como condição WHERE (%2)%3. Verifique "
                   "a linha \"%4\": um espaço antes e depois de cada operador e valor, valores "
                   "entre aspas.");
    case TextId::ReadFieldNotValid:
        return two("A field of My Table does not exist in %1 (%2)%3. Read the table's fields "
                   "again and rebuild My Table.",
                   "Um campo de Minha Tabela não existe em %1 (%2)%3. Leia os campos da tabela "
                   "de novo e refaça Minha Tabela.");
    case TextId::ReadTableWithoutData:
        return two("%1 holds no rows of its own: it is a structure, or a field of My Table is "
                   "unknown to this release (%2)%3.",
                   "%1 não tem linhas próprias: é uma estrutura, ou um campo de Minha Tabela é "
                   "desconhecido nesta versão (%2)%3.");
    case TextId::ReadDataBufferExceeded:
        return two("The fields of %1 are too wide for one read (%2)%3. Remove some of them from "
                   "My Table and read again.",
                   "Os campos de %1 são largos demais para uma leitura (%2)%3. Remova alguns de "
                   "Minha Tabela e leia de novo.");
    case TextId::ReadSystemFailure:
        return two("The system failed while reading %1 (%2)%3. The connection is opened again "
                   "at the next read; if the failure comes back, ask the system's administrator "
                   "(transaction ST22 lists the system's dumps).",
                   "O sistema falhou ao ler %1 (%2)%3. A conexão é aberta de novo na próxima "
                   "leitura; se a falha voltar, fale com o administrador do sistema (a transação "
                   "ST22 lista os dumps).");
    case TextId::ReadFailed:
        return two("Reading %1 failed (%2)%3.", "A leitura de %1 falhou (%2)%3.");
    case TextId::ReadFailedBecause:
        return two("Reading %1 failed: %2.", "A leitura de %1 falhou: %2.");
    case TextId::ExportNotWritten:
        return two("The export failed; the file was not written.",
                   "A exportação falhou; o arquivo não foi gravado.");
    case TextId::PreviewFailedStatus:
        return two("Preview failed - ", "A visualização falhou - ");
    case TextId::ExportFailedStatus:
        return two("Export failed - ", "A exportação falhou - ");
    case TextId::PreviewCancelledStatus:
        return two("Preview cancelled - ", "Visualização cancelada - ");
    case TextId::ExportCancelledStatus:
        return two("Export cancelled - ", "Exportação cancelada - ");
    case TextId::TitlePreview:
        return two("Preview", "Visualizar");
    case TextId::TitleExport:
        return two("Import Table", "Importar Tabela");
    case TextId::TitleTableFields:
        return two("Table Fields", "Campos da Tabela");
    case TextId::TitleLogon:
        return two("Logon", "Logon");
    case TextId::TitleOption:
        return two("Add Option", "Adicionar Opção");
    case TextId::TitleRecentDocuments:
        return two("Recent Documents", "Documentos Recentes");
    case TextId::LogonRefused:
        return two("The system %1 refused the logon of user %2 in client %3: %4.",
                   "O sistema %1 recusou o logon do usuário %2 no mandante %3: %4.");
    case TextId::LogonAdvicePassword:
        return two("Type the user and password again; after too many wrong passwords the "
                   "system locks the user.",
                   "Digite o usuário e a senha de novo; depois de muitas senhas erradas o "
                   "sistema bloqueia o usuário.");
    case TextId::LogonAdviceClient:
        return two("Check the client number.", "Verifique o número do mandante.");
    case TextId::LogonAdviceLanguage:
        return two("Choose a language the system has installed, such as EN.",
                   "Escolha um idioma instalado no sistema, como EN ou PT.");
    case TextId::LogonAdviceCertificate:
        return two("Trust the certificate only if you know it is the system's.",
                   "Confie no certificado só se souber que é o do sistema.");
    case TextId::LogonAdviceNetwork:
        return two("Check the host, the port and the network, or ask the system's "
                   "administrator.",
                   "Verifique o host, a porta e a rede, ou fale com o administrador do "
                   "sistema.");
    case TextId::LogonAdviceOther:
        return two("Check the logon data, or ask the system's administrator.",
                   "Verifique os dados de logon, ou fale com o administrador do sistema.");
    case TextId::LogonTitle:
        return two("SAP Logon", "Logon no SAP");
    case TextId::LogonDemoSystem:
        return two("Demo system (built-in)", "Sistema de demonstração (embutido)");
    case TextId::LogonSystem:
        return two("System", "Sistema");
    case TextId::LogonConnection:
        return two("Connection", "Conexão");
    case TextId::LogonWayDemo:
        return two("Demo system", "Sistema de demonstração");
    case TextId::LogonWaySoap:
        return two("RFC SOAP service", "Serviço RFC SOAP");
    case TextId::LogonWayApplicationServer:
        return two("Application server (native RFC)", "Servidor de aplicação (RFC nativo)");
    case TextId::LogonWayMessageServer:
        return two("Message server (native RFC)", "Servidor de mensagens (RFC nativo)");
    case TextId::LogonHostOrUrl:
        return two("Host or URL", "Host ou URL");
    case TextId::LogonHostPlaceholder:
        return two("https://host:port or host", "https://host:porta ou host");
    case TextId::LogonSystemNumber:
        return two("System number", "Número do sistema");
    case TextId::LogonMessageServer:
        return two("Message server", "Servidor de mensagens");
    case TextId::LogonSystemId:
        return two("System ID", "ID do sistema");
    case TextId::LogonGroup:
        return two("Logon group", "Grupo de logon");
    case TextId::LogonSncName:
        return two("SNC name", "Nome SNC");
    case TextId::LogonRfcLibrary:
        return two("RFC library", "Biblioteca RFC");
    case TextId::LogonLandscapeFile:
        return two("SAP Logon file", "Arquivo do SAP Logon");
    case TextId::LogonLandscapePlaceholder:
        return two("SAPUILandscape.xml or saplogon.ini", "SAPUILandscape.xml ou saplogon.ini");
    case TextId::LogonClient:
        return two("Client", "Mandante");
    case TextId::LogonUser:
        return two("User", "Usuário");
    case TextId::LogonPassword:
        return two("Password", "Senha");
    case TextId::LogonLanguage:
        return two("Language", "Idioma");
    case TextId::LogonChoose:
        return two("Choose...", "Escolher...");
    case TextId::LogonKeepSystem:
        return two("Keep this system in Zorv's list", "Guardar este sistema na lista do Zorv");
    case TextId::LogonTrustCertificate:
        return two("Trust this system's certificate (SHA-256 %1)",
                   "Confiar no certificado deste sistema (SHA-256 %1)");
    case TextId::LogonLandscapeDialog:
        return two("SAP Logon's landscape file", "Arquivo de sistemas do SAP Logon");
    case TextId::LogonLandscapeFilter:
        return two("SAP Logon files (*.xml *.ini);;All files (*)",
                   "Arquivos do SAP Logon (*.xml *.ini);;Todos os arquivos (*)");
    case TextId::LogonLibraryDialog:
        return two("SAP's NetWeaver RFC library", "Biblioteca NetWeaver RFC da SAP");
    case TextId::LogonLibraryFilter:
        return two("RFC library (%1);;All files (*)", "Biblioteca RFC (%1);;Todos os arquivos (*)");
    case TextId::LandscapeMissing:
        return two("The SAP Logon file %1 does not exist", "O arquivo do SAP Logon %1 não existe");
    case TextId::LandscapeNotAFile:
        return two("%1 is not an SAP Logon file (not a plain file of at most %2 MB)",
                   "%1 não é um arquivo do SAP Logon (não é um arquivo comum de no máximo %2 MB)");
    case TextId::LandscapeUnreadable:
        return two("%1 cannot be read: %2", "%1 não pode ser lido: %2");
    case TextId::LandscapeTooLarge:
        return two("%1 is larger than %2 MB", "%1 tem mais de %2 MB");
    case TextId::LandscapeDoctype:
        return two("a document type declaration is not accepted",
                   "uma declaração de tipo de documento não é aceita");
    case TextId::LandscapeNotXml:
        return two("not XML (%1, line %2)", "não é XML (%1, linha %2)");
    case TextId::LandscapeNoLandscape:
        return two("no SAP Logon landscape in it", "não contém sistemas do SAP Logon");
    case TextId::LandscapeNoServerSection:
        return two("no [Server] section of SAP Logon in it",
                   "não contém a seção [Server] do SAP Logon");
    case TextId::ProgressCancel:
        return two("Cancel", "Cancelar");
    case TextId::ProgressCancelTip:
        return two("Cancel (Esc)", "Cancelar (Esc)");
    case TextId::ExportFileTypes:
        return two("Text (*.csv)|*.csv|Text (*.txt)|*.txt|Excel workbook (*.xlsx)|*.xlsx|"
                   "Text for spreadsheets, UTF-8 (*.csv)|*.csv",
                   "Texto (*.csv)|*.csv|Texto (*.txt)|*.txt|Pasta de trabalho do Excel "
                   "(*.xlsx)|*.xlsx|Texto para planilhas, UTF-8 (*.csv)|*.csv");
    case TextId::ExportStoppedAtRowLimit:
        // "All Rows" is the check box's own caption, which has one form.
        return two("%1 rows, the row limit; tick All Rows for every row",
                   "%1 linhas, o limite de linhas; marque All Rows para todas as linhas");
    case TextId::ExportNotAFile:
        return two("%1 is not a regular file; an export replaces only files",
                   "%1 não é um arquivo comum; uma exportação substitui apenas arquivos");
    case TextId::ExportSheets:
        return two("%1 rows on %2 sheets: a sheet holds %3",
                   "%1 linhas em %2 planilhas: uma planilha comporta %3");
    case TextId::ReadFellBack:
        return two("%1 could not read %2 (%3): it was read with RFC_READ_TABLE",
                   "%1 não conseguiu ler %2 (%3): a leitura foi feita com RFC_READ_TABLE");
    case TextId::ReadNoKeyFields:
        return two("%1 has no key fields in the dictionary",
                   "%1 não tem campos-chave no dicionário");
    case TextId::ReadKeyUnknown:
        return two("the key of %1 is not known: %2", "a chave de %1 não é conhecida: %2");
    case TextId::ReadJoinedByPosition:
        return two(": its pieces were joined by position",
                   ": suas partes foram unidas pela posição");
    case TextId::ReadInOneCall:
        return two(": it was read in one call", ": foi lida em uma só chamada");
    case TextId::ExportReadingRows:
        return two("Reading %1: %2 rows", "Lendo %1: %2 linhas");
    case TextId::ExportReadingRowsOf:
        return two("Reading %1: %2 of %3 rows", "Lendo %1: %2 de %3 linhas");
    case TextId::ExportTimeLeft:
        return two(", %1 left", ", faltam %1");
    case TextId::OptionTooWideAsSent:
        return two("The option \"%1\" is %2 characters long as it is sent to %3; a WHERE line "
                   "holds at most %4.",
                   "A opção \"%1\" tem %2 caracteres como é enviada para %3; uma linha WHERE "
                   "comporta no máximo %4.");
    case TextId::OptionNamesNoTable:
        return two("The option \"%1\" names no table of My Table, so it would restrict nothing; "
                   "remove it or add a field of its table.",
                   "A opção \"%1\" não cita nenhuma tabela de Minha Tabela, então não "
                   "restringiria nada; remova-a ou adicione um campo da sua tabela.");
    case TextId::ReadOneCall:
        return two("1 call", "1 chamada");
    case TextId::ReadCalls:
        return two("%1 calls", "%1 chamadas");
    case TextId::MyTableCallsTip:
        return two("Calls of %1, rows of up to %2 characters",
                   "Chamadas de %1, linhas de até %2 caracteres");
    case TextId::UnbalancedQuote:
        return two("The value %1 has an unbalanced quote, which the system would refuse. Write "
                   "the value between quotes and double a quote inside it: 'O''Brien'.",
                   "O valor %1 tem uma aspa sem par, que o sistema recusaria. Escreva o valor "
                   "entre aspas e dobre uma aspa dentro dele: 'O''Brien'.");
    case TextId::UnknownOptionField:
        return two("The field %1 is unknown: My Table has no such field. Choose one that the "
                   "field box offers.",
                   "O campo %1 é desconhecido: Minha Tabela não tem esse campo. Escolha um que a "
                   "caixa de campos oferece.");
    case TextId::AmbiguousOptionField:
        return two("The field %1 is in more than one table of My Table: choose one of %2.",
                   "O campo %1 está em mais de uma tabela de Minha Tabela: escolha um de %2.");
    case TextId::PlaceholderField:
        return two("Field", "Campo");
    case TextId::PlaceholderOperator:
        return two("Operator", "Operador");
    case TextId::PlaceholderValue:
        return two("'Value'", "'Valor'");
    case TextId::PlaceholderConjunction:
        return two("And/Or", "E/Ou");
    case TextId::FieldFilterPlaceholder:
        return two("Find a field (Ctrl+F)", "Procurar campo (Ctrl+F)");
    case TextId::CopyCells:
        return two("Copy", "Copiar");
    case TextId::CopyCellsWithHeaders:
        return two("Copy with Headers", "Copiar com Cabeçalhos");
    case TextId::RecentDocumentGone:
        return two("%1 no longer exists; it was taken off the list of recent documents.",
                   "%1 não existe mais; foi retirado da lista de documentos recentes.");
    case TextId::SapSystemInformation:
        return one("SAP System Information");
    case TextId::DatabaseLabel:
        return one("Database: ");
    case TextId::QueryCaption:
        return one("Quillon");
    case TextId::SaveChanges:
        return two("Do you want to save changes to '", "Deseja salvar as alterações feitas a '");
    case TextId::SaveChangesEnd:
        return one("'?");
    case TextId::DocumentSaved:
        return two(" saved", " salvo");
    case TextId::DocumentOpened:
        return two(" opened", " aberto");
    case TextId::NoNumbers:
        return one("No numbers allowed");
    case TextId::AlreadyExists:
        return one(" already exists");
    case TextId::TableAdded:
        return two(" was successfully added with ", " com ");
    case TextId::TableAddedEnd:
        return two(" Fields. ", " Campos adicionada com sucesso. ");
    case TextId::DeleteFolder:
        return two("Are you sure you want to delete folder '",
                   "Tem certeza de que deseja excluir a pasta '");
    case TextId::TableHas:
        return two(" has ", " tem ");
    case TextId::TableHasOf:
        return two(" of ", " dos ");
    case TextId::TotalFields:
        return two(" Total Fields", " Total de Campos");
    case TextId::TreeHint:
        return two("Right click to add New Table", "Botão direito para adicionar Nova Tabela");
    case TextId::FieldListHint:
        return two("Select fields and right click to copy to My Table",
                   "Selecione campos e botão direito para copiar para Minha Tabela");
    case TextId::NoFile:
        return one("No File");
    case TextId::TipCopyToMyTable:
        return two("Copy to My Table", "Copiar para Minha Tabela");
    case TextId::TipRemoveFields:
        return two("Remove Fields", "Remover Campos");
    case TextId::TipMoveDown:
        return two("Move Down", "Mover Abaixo");
    case TextId::TipMoveUp:
        return two("Move Up", "Mover Acima");
    case TextId::TipPreview:
        return two("Preview", "Vizualizar");
    case TextId::OptionTooLong:
        return one("Option has ");
    case TextId::OptionTooLongEnd:
        return one(", more than 72 characters");
    case TextId::OptionsHint:
        return two("Right click to add option or click on option to edit",
                   "Botão direito para adicionar opção ou clique na opção para editar");
    case TextId::removeAllOptions:
        return two("Are you sure you want to remove all options?",
                   "Tem certeza de que deseja remover todas opções?");
    case TextId::TipFieldName:
        return one("FieldName");
    case TextId::TipOperator:
        return two("Comparison operator", "Operador de comparação");
    case TextId::TipValue:
        return two("Contents must be between '  '", "Conteúdo deve estar entre '  '");
    case TextId::TipConjunction:
        return two("Logical conjunction", "Conjunção Lógica");
    case TextId::TipAddOption:
        return two("Add Option", "Adicionar Opção");
    case TextId::PreviewStatus:
        return two("Preview ", "Visualização ");
    case TextId::ExportDone:
        return two("My Table > ", "Minha Tabela > ");
    case TextId::ExportDoneFields:
        return two(" Fields ", " Campos ");
    case TextId::ExportDoneRows:
        return two(" Rows ", " Linhas ");
    case TextId::ExportDoneBytes:
        return two(" Bytes/Row was completed successfully in ",
                   " Bytes/Linha concluído com sucesso em ");
    case TextId::SaveMyTableAs:
        return two("Save My Table as", "Salvar Minha Tabela como");
    case TextId::Checking:
        return two("Checking ", "Verificando ");
    case TextId::Creating:
        return two("Creating ", "Criando ");
    case TextId::CloseYourTable:
        return one("Please, close your ");
    case TextId::CloseYourTableEnd:
        return one(" table and try again!");
    case TextId::ExportRunning:
        return two("An import is running: wait for it to end, or cancel it with Esc.",
                   "Uma importação está em andamento: aguarde o fim ou cancele com Esc.");
    case TextId::ExportCancelled:
        return two("Import cancelled; the file was left as it was: ",
                   "Importação cancelada; o arquivo ficou como estava: ");
    case TextId::LostCharacters:
        return two(" characters that the Windows code page cannot hold were written as \"?\" in ",
                   " caracteres que a página de código do Windows não comporta foram gravados "
                   "como \"?\" em ");
    case TextId::TipMaximumRows:
        return two("Maximum rows to import", "No. máximo de linhas para importar");
    case TextId::NotAdded:
        return two(" was not added: ", " não foi adicionada: ");
    case TextId::NoConnection:
        return two("there is no connection to R/3", "não há conexão com o R/3");
    case TextId::NoFieldsReturned:
        return two("R/3 did not return its fields", "o R/3 não devolveu os seus campos");
    case TextId::WindowLimit:
        return two("Twenty query windows are open: close one to open another.",
                   "Vinte janelas de consulta estão abertas: feche uma para abrir outra.");
    case TextId::RecoveryOffer:
        return two("Zorv ended before these queries were saved: ",
                   "O Zorv terminou antes de salvar estas consultas: ");
    case TextId::RecoveryOfferEnd:
        return two(". Open the copies it kept?", ". Abrir as cópias guardadas?");
    case TextId::Recovered:
        return two(" (recovered)", " (recuperada)");
    case TextId::PreviewFilterPlaceholder:
        return two("Show rows that contain (Ctrl+Shift+F)",
                   "Mostrar linhas que contêm (Ctrl+Shift+F)");
    case TextId::PreviewFilterAllColumns:
        return two("All columns", "Todas as colunas");
    case TextId::PreviewFilterColumnTip:
        return two("Where to look for the text", "Onde procurar o texto");
    case TextId::PreviewRowsShown:
        return two("%1 rows", "%1 linhas");
    case TextId::FieldListRowCount:
        return two("%1: %2 rows", "%1: %2 linhas");
    case TextId::PreviewValueOverflowed:
        return two("The value did not fit its output length",
                   "O valor não coube no seu comprimento de saída");
    case TextId::PreviewRowsOf:
        return two("%1 of %2 rows", "%1 de %2 linhas");
    case TextId::ExportWritesRows:
        return two("Writes %1 rows (the row limit)", "Grava %1 linhas (o limite de linhas)");
    case TextId::ExportWritesOneRow:
        return two("Writes 1 row (the row limit)", "Grava 1 linha (o limite de linhas)");
    case TextId::ExportWritesAllRows:
        return two("Writes all rows (All Rows)", "Grava todas as linhas (All Rows)");
    case TextId::OpenFolderInstead:
        return two("Open the folder that holds it instead?\n%1", "Abrir a pasta que o contém?\n%1");
    case TextId::ReopenOffer:
        return two("Reopen the queries that were open at the last exit?\n",
                   "Reabrir as consultas que estavam abertas na última saída?\n");
    case TextId::ReopenGone:
        return two("These queries open at the last exit are no longer there:\n",
                   "Estas consultas abertas na última saída já não existem:\n");
    case TextId::OptionReopen:
        return two("Offer the queries open at the last exit",
                   "Oferecer as consultas abertas na última saída");
    }
    return {};
}

QString Texts::homePage()
{
    return QStringLiteral("https://zorv.example.com/");
}

QString Texts::supportPage()
{
    return QStringLiteral("https://zorv.example.com/support");
}
