#include "shell/FaultTexts.h"

namespace
{
BiText two(const char* en, const char* pt)
{
    return {QString::fromUtf8(en), QString::fromUtf8(pt)};
}
} // namespace

BiText FaultTexts::get(FaultText id)
{
    switch (id) {
    case FaultText::TooLargeWithoutKey:
        return two("%1 is too large to be read in one call, and without its key it cannot be "
                   "read in parts",
                   "%1 é grande demais para ser lida numa chamada e, sem a sua chave, não pode "
                   "ser lida em partes");
    case FaultText::NotInParts:
        return two("%1 cannot be read in parts: %2", "%1 não pode ser lida em partes: %2");
    case FaultText::OutOfResources:
        return two("the system ran out of memory or time reading %1, even %2 rows at a time",
                   "o sistema ficou sem memória ou sem tempo ao ler %1, mesmo com %2 linhas de "
                   "cada vez");
    case FaultText::ConnectionLost:
        return two("the connection to the system broke while %1 was read, %2 times in a row; the "
                   "read stopped",
                   "a conexão com o sistema caiu durante a leitura de %1, %2 vezes seguidas; a "
                   "leitura parou");
    case FaultText::RowTwice:
        return two("the system returned the row %1 of %2 twice in one answer",
                   "o sistema devolveu a linha %1 de %2 duas vezes numa só resposta");
    case FaultText::RowOutsidePart:
        return two("the system returned the row %1 for a part of %2 that does not hold it: it "
                   "orders the key differently, so the table cannot be read in parts exactly",
                   "o sistema devolveu a linha %1 para uma parte de %2 que não a contém: ordena "
                   "a chave de outra forma, por isso a tabela não pode ser lida em partes com "
                   "exatidão");
    case FaultText::MoreRowsThanKey:
        return two("the system returned more rows of %1 than its key allows",
                   "o sistema devolveu mais linhas de %1 do que a sua chave permite");
    case FaultText::RowsChanged:
        return two("the rows of %1 changed while it was read: its pieces disagree on %2",
                   "as linhas de %1 mudaram durante a leitura: as suas partes divergem em %2");
    case FaultText::OutOfKeyOrder:
        return two("the system returned the row %1 of %2 out of key order: it orders the key "
                   "differently, so the table cannot be read in parts exactly",
                   "o sistema devolveu a linha %1 de %2 fora da ordem da chave: ordena a chave "
                   "de outra forma, por isso a tabela não pode ser lida em partes com exatidão");
    case FaultText::LineTooWide:
        return two("%1 returned a line of %2 characters in %3, which holds %4",
                   "%1 devolveu uma linha de %2 caracteres em %3, que comporta %4");
    case FaultText::RowsInSeveralTables:
        return two("%1 returned rows in more than one of its tables",
                   "%1 devolveu linhas em mais de uma das suas tabelas");
    case FaultText::RowsInOtherTable:
        return two("%1 returned its rows in %2 but named %3 in OUT_TABLE",
                   "%1 devolveu as suas linhas em %2, mas indicou %3 em OUT_TABLE");
    case FaultText::NoTable:
        return two("no table", "nenhuma tabela");
    case FaultText::FieldDescribedBadly:
        return two("the system described the field %1 of %2 at offset \"%3\" with length "
                   "\"%4\", which no line of %5 characters holds",
                   "o sistema descreveu o campo %1 de %2 na posição \"%3\" com comprimento "
                   "\"%4\", que nenhuma linha de %5 caracteres comporta");
    case FaultText::FieldsOverlap:
        return two("the system described fields of %1 that overlap at offset %2 of its lines",
                   "o sistema descreveu campos de %1 que se sobrepõem na posição %2 das suas "
                   "linhas");
    case FaultText::FieldNotReturned:
        return two("the system did not return the field %1 of %2",
                   "o sistema não devolveu o campo %1 de %2");
    case FaultText::KeyValueNotWritable:
        return two("the key value \"%1\" of %2 cannot be written in a WHERE line",
                   "o valor de chave \"%1\" de %2 não pode ser escrito numa linha WHERE");
    case FaultText::KeyValueTooLong:
        return two("the key value %1 is longer than a WHERE line of %2 characters",
                   "o valor de chave %1 é mais longo do que uma linha WHERE de %2 caracteres");
    case FaultText::FieldAndKeyTooWide:
        return two("the field %1 and the key of %2 do not fit together in one read of %3 "
                   "characters",
                   "o campo %1 e a chave de %2 não cabem juntos numa leitura de %3 caracteres");
    case FaultText::DictionaryUnreadable:
        return two("the dictionary table DD03L could not be read (%1)",
                   "a tabela do dicionário DD03L não pôde ser lida (%1)");
    case FaultText::FieldTooWide:
        return two("The field %1 is %2 characters long; a read returns at most %3 characters "
                   "per row, so it cannot be read.",
                   "O campo %1 tem %2 caracteres; uma leitura devolve no máximo %3 caracteres "
                   "por linha, por isso não pode ser lido.");
    case FaultText::SpoolNotCreated:
        return two("A temporary file cannot be created in %1",
                   "Não é possível criar um arquivo temporário em %1");
    case FaultText::SpoolNotWritten:
        return two("A temporary file could not be written (is the disk full?)",
                   "Não foi possível gravar um arquivo temporário (o disco está cheio?)");
    case FaultText::SpoolNotReadBack:
        return two("A temporary file could not be read back",
                   "Não foi possível voltar a ler um arquivo temporário");
    case FaultText::WriteIncomplete:
        return two("%1 could not be written completely (is the disk full?)",
                   "%1 não pôde ser gravado por completo (o disco está cheio?)");
    case FaultText::CannotCompress:
        return two("%1 cannot be compressed", "%1 não pode ser comprimido");
    case FaultText::PartOver4Gb:
        return two("%1 would hold a part larger than 4 GB",
                   "%1 conteria uma parte maior do que 4 GB");
    case FaultText::CannotBeWritten:
        return two("%1 cannot be written: %2", "%1 não pode ser gravado: %2");
    case FaultText::FileOver4Gb:
        return two("%1 would be larger than 4 GB", "%1 seria maior do que 4 GB");
    case FaultText::NotOpen:
        return two("%1 is not open", "%1 não está aberto");
    case FaultText::DemoDatabaseNotSetUp:
        return two("The demo database %1 cannot be set up: %2",
                   "Não é possível preparar o banco de dados de demonstração %1: %2");
    case FaultText::DemoDatabaseUnopened:
        return two("The demo database cannot be opened: %1",
                   "O banco de dados de demonstração não pode ser aberto: %1");
    case FaultText::AddressHoldsUser:
        return two("A system's address holds no user or password: give the user and the "
                   "password in their own fields (--user and --password-file)",
                   "O endereço de um sistema não leva usuário nem senha: informe o "
                   "usuário e a senha nos seus próprios campos (--user e --password-file)");
    case FaultText::GiveSystemAddress:
        return two("Give the system as https://host:port, or its host and port",
                   "Informe o sistema como https://host:porta, ou o seu host e porta");
    case FaultText::NativeLogonRefused:
        return two("%1 refused the logon (RFC code %2)", "%1 recusou o logon (código RFC %2)");
    case FaultText::RfcLibraryFailed:
        return two("the RFC library failed (code %1)", "a biblioteca RFC falhou (código %1)");
    case FaultText::LibraryUnusable:
        return two("SAP's NetWeaver RFC library could not be used",
                   "A biblioteca NetWeaver RFC da SAP não pôde ser usada");
    case FaultText::LibraryAdvice:
        return two("Install SAP's NetWeaver RFC library 7.50 and choose its %1 (or set "
                   "SAPNWRFC_HOME)",
                   "Instale a biblioteca NetWeaver RFC 7.50 da SAP e escolha o seu %1 (ou "
                   "defina SAPNWRFC_HOME)");
    case FaultText::LibraryNoSuchFile:
        return two("%1: no such file", "%1: o arquivo não existe");
    case FaultText::LibraryTooOld:
        return two("%1 lacks %2, so it is too old", "a %1 faltam %2, por isso é antiga demais");
    case FaultText::LogonRefusedHttp:
        return two("the system refused the logon (HTTP 401)",
                   "o sistema recusou o logon (HTTP 401)");
    case FaultText::CallTimedOut:
        return two("%1 made no progress for %2 seconds, the time limit of a call",
                   "%1 não avançou durante %2 segundos, o tempo limite de uma chamada");
    case FaultText::Redirect:
        return two("%1 answered HTTP %2, a redirect to %3, which is not followed: give the "
                   "system's own address",
                   "%1 respondeu HTTP %2, um redirecionamento para %3, que não é seguido: "
                   "informe o endereço do próprio sistema");
    case FaultText::RedirectNowhere:
        return two("nowhere", "lado nenhum");
    case FaultText::CertificateFingerprint:
        return two(" (certificate SHA-256 %1)", " (certificado SHA-256 %1)");
    case FaultText::NoValidAnswer:
        return two("%1 answered HTTP %2 with no valid %3 answer: %4",
                   "%1 respondeu HTTP %2 sem uma resposta %3 válida: %4");
    case FaultText::ChunksMalformed:
        return two("the answer's chunks are malformed, or were refused",
                   "os blocos da resposta estão malformados ou foram recusados");
    case FaultText::BodyRefused:
        return two("the answer's body was refused", "o corpo da resposta foi recusado");
    case FaultText::ClosedWithoutAnswer:
        return two("the connection closed without an answer", "a conexão foi fechada sem resposta");
    case FaultText::ClosedInHeader:
        return two("the connection closed in the answer's header",
                   "a conexão foi fechada no cabeçalho da resposta");
    case FaultText::ClosedBeforeEnd:
        return two("the connection closed before the answer ended",
                   "a conexão foi fechada antes do fim da resposta");
    case FaultText::HeaderTooLong:
        return two("the answer's header is longer than %1 KB",
                   "o cabeçalho da resposta tem mais de %1 KB");
    case FaultText::NotHttp:
        return two("the answer is not HTTP", "a resposta não é HTTP");
    case FaultText::EncodingUnsupported:
        return two("the answer's transfer encoding %1 is not supported",
                   "a codificação de transferência %1 da resposta não é suportada");
    case FaultText::LengthNotANumber:
        return two("the answer's Content-Length is not a number",
                   "o Content-Length da resposta não é um número");
    case FaultText::DocumentType:
        return two(
            "the answer declares a document type, which a SOAP message must not",
            "a resposta declara um tipo de documento, o que uma mensagem SOAP não pode fazer");
    case FaultText::ValueTooLong:
        return two("a value of %1 in the answer is longer than %2 characters, longer than any "
                   "field can be",
                   "um valor de %1 na resposta tem mais de %2 caracteres, mais do que qualquer "
                   "campo pode ter");
    case FaultText::TokenTooLong:
        return two("the answer holds a piece of markup or text longer than %1 KB, longer than any "
                   "field can be",
                   "a resposta contém um trecho de marcação ou texto com mais de %1 KB, mais do "
                   "que qualquer campo pode ter");
    case FaultText::EndedEarly:
        return two("the answer ended early", "a resposta terminou antes do tempo");
    case FaultText::NotSoap:
        return two("the answer is not a SOAP message", "a resposta não é uma mensagem SOAP");
    case FaultText::NestedTooDeep:
        return two("the answer nests elements deeper than any answer does",
                   "a resposta aninha elementos mais fundo do que qualquer resposta");
    case FaultText::NotSoapStartsWith:
        return two("the answer is not a SOAP message (it starts with <%1>)",
                   "a resposta não é uma mensagem SOAP (começa com <%1>)");
    case FaultText::OtherResponse:
        return two("the system answered <%1> (%2), not the %3 response",
                   "o sistema respondeu <%1> (%2), e não a resposta de %3");
    case FaultText::NoNamespace:
        return two("no namespace", "sem espaço de nomes");
    case FaultText::Namespace:
        return two("namespace %1", "espaço de nomes %1");
    case FaultText::NoResponse:
        return two("the answer's body holds no %1 response",
                   "o corpo da resposta não contém uma resposta de %1");
    case FaultText::RowsNotAskedFor:
        return two("the system sent rows although none were asked for",
                   "o sistema enviou linhas embora nenhuma tenha sido pedida");
    case FaultText::MoreRowsThanAsked:
        return two("the system sent more rows than the %1 asked for",
                   "o sistema enviou mais linhas do que as %1 pedidas");
    case FaultText::TooManyDescriptionRows:
        return two("the system sent more than %1 rows of %2",
                   "o sistema enviou mais de %1 linhas de %2");
    case FaultText::Count:
        break;
    }
    return {};
}
