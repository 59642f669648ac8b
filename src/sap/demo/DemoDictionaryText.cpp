// The demo system's data dictionary: data elements with their texts in English and Portuguese,
// then the tables with their fields (K marks a key field; type, length, decimals).
#include "DemoDictionary.h"

const char* DemoDictionary::source()
{
    return R"(
=MANDT Client|Mandante
=MTEXT Client name|Nome do mandante
=ORT01 City|Cidade
=ORT02 District|Bairro
=MWAER Currency|Moeda
=CCCATEGORY Client role|Papel do mandante
=CHANGEUSER Last changed by|Modificado por
=CHANGEDATE Date of last change|Data da modificação
=LOGSYS Logical system|Sistema lógico
=BUKRS Company Code|Empresa
=BUTXT Company name|Nome da empresa
=LAND1 Country|País
=LANDX Country name|Nome do país
=NATIO Nationality|Nacionalidade
=WAERS Currency|Moeda
=SPRAS Language Key|Código de idioma
=KTOPL Chart of Accounts|Plano de contas
=PERIV Fiscal Year Variant|Variante de exercício
=STCEG VAT Registration No.|Nº ident. fiscal IVA
=INTCA ISO code|Código ISO
=XEGLD EU country|País da UE
=KUNNR Customer|Cliente
=LIFNR Vendor|Fornecedor
=NAME1 Name|Nome
=NAME2 Name 2|Nome 2
=NAME3 Name 3|Nome 3
=NAME4 Name 4|Nome 4
=PSTLZ Postal Code|Código postal
=PSTL2 PO Box postal code|Código postal cx. postal
=REGIO Region|Região
=SORTL Sort field|Campo de seleção
=STRAS Street|Rua
=TELF1 Telephone 1|Telefone 1
=TELF2 Telephone 2|Telefone 2
=TELFX Fax Number|Número de fax
=TELBX Telebox number|Número telebox
=TELTX Teletex number|Número teletex
=TELX1 Telex number|Número telex
=XCPDK One-time account|Conta única
=ADRNR Address|Endereço
=MCOD1 Search term 1|Termo de pesquisa 1
=MCOD2 Search term 2|Termo de pesquisa 2
=MCOD3 Search term 3|Termo de pesquisa 3
=ANRED Title|Forma de tratamento
=AUFSD Order block|Bloqueio de ordem
=BAHNE Express station|Estação expressa
=BAHNS Train station|Estação ferroviária
=BBBNR International location number 1|Nº localização internacional 1
=BBSNR International location number 2|Nº localização internacional 2
=BEGRU Authorization Group|Grupo de autorizações
=BRSCH Industry|Setor industrial
=BUBKZ Check digit|Dígito de controle
=DATLT Data line|Linha de dados
=ERDAT Created on|Criado em
=ERNAM Created by|Criado por
=EXABL Unloading points exist|Pontos de descarga
=FAKSD Billing block|Bloqueio de faturamento
=FISKN Fiscal address|Endereço fiscal
=KNAZK Working time calendar|Calendário de trabalho
=KNRZA Alternative payer|Pagador alternativo
=KONZS Group key|Chave do grupo
=KTOKD Customer Account Group|Grupo de contas do cliente
=KTOKK Vendor Account Group|Grupo de contas do fornecedor
=KUKLA Customer classification|Classificação de clientes
=LIFSD Delivery block|Bloqueio de remessa
=LOCCO City coordinates|Coordenadas da cidade
=LOEVM Deletion flag|Marcação para eliminação
=NIELS Nielsen ID|Código Nielsen
=PFACH PO Box|Caixa postal
=COUNC County code|Código do condado
=CITYC City code|Código da cidade
=RPMKR Regional market|Mercado regional
=SPERR Posting block|Bloqueio de lançamento
=STCD1 Tax Number 1|Nº identificação fiscal 1
=STCD2 Tax Number 2|Nº identificação fiscal 2
=STKZA Equalization tax|Imposto de compensação
=STKZU Liable for VAT|Sujeito a IVA
=LZONE Transportation zone|Zona de transporte
=UMSAT Annual sales|Vendas anuais
=UMJAH Year of sales|Ano das vendas
=JMZAH Yearly number of employees|Nº anual de empregados
=JMJAH Year for employees|Ano dos empregados
=KATR1 Attribute 1|Atributo 1
=KATR2 Attribute 2|Atributo 2
=KATR3 Attribute 3|Atributo 3
=CIVVE Civilian use|Uso civil
=MATNR Material|Material
=ERSDA Created On|Criado em
=LAEDA Last Change|Última modificação
=AENAM Changed by|Modificado por
=LVORM Deletion flag|Marcação para eliminação
=MTART Material Type|Tipo de material
=MBRSH Industry sector|Setor industrial
=MATKL Material Group|Grupo de mercadorias
=MEINS Base Unit of Measure|Unidade de medida básica
=BRGEW Gross Weight|Peso bruto
=NTGEW Net Weight|Peso líquido
=GEWEI Weight unit|Unidade de peso
=SPART Division|Setor de atividade
=EAN11 EAN/UPC|EAN/UPC
=MAKTX Material Description|Texto breve de material
=MAKTG Description in upper case|Descrição em maiúsculas
=VBELN Sales Document|Documento de vendas
=ERZET Time|Hora
=AUDAT Document Date|Data do documento
=VBTYP Document category|Categoria de documento
=AUART Sales Document Type|Tipo de documento de vendas
=NETWR Net Value|Valor líquido
=WAERK Document Currency|Moeda do documento
=VKORG Sales Organization|Organização de vendas
=VTWEG Distribution Channel|Canal de distribuição
=POSNR Item|Item
=ARKTX Description|Denominação
=PSTYV Item category|Categoria de item
=NETPR Net price|Preço líquido
=KWMENG Order Quantity|Quantidade da ordem
=VRKME Sales unit|Unidade de venda
=WERKS Plant|Centro
=BELNR Document Number|Nº documento
=GJAHR Fiscal Year|Exercício
=BLART Document Type|Tipo de documento
=BLDAT Document Date|Data do documento
=BUDAT Posting Date|Data de lançamento
=MONAT Posting period|Período contábil
=CPUDT Entry Date|Data de entrada
=CPUTM Time of Entry|Hora da entrada
=USNAM User name|Nome do usuário
=TCODE Transaction Code|Código de transação
=XBLNR Reference|Referência
=BKTXT Document Header Text|Texto do cabeçalho
=KURSF Exchange rate|Taxa de câmbio
=BUZEI Line item|Item
=AUGDT Clearing|Data de compensação
=AUGBL Clearing Document|Doc. de compensação
=BSCHL Posting Key|Chave de lançamento
=KOART Account type|Tipo de conta
=SHKZG Debit/Credit|Débito/crédito
=MWSKZ Tax code|Código do IVA
=DMBTR Amount in local currency|Montante em moeda interna
=WRBTR Amount|Montante
=HKONT G/L Account|Conta do Razão
=SGTXT Text|Texto
=TABNAME Table Name|Nome da tabela
=AS4LOCAL Activation State|Status de ativação
=AS4VERS Version|Versão
=TABCLASS Table Category|Categoria de tabela
=CLIDEP Client-specific|Dependente de mandante
=CONTFLAG Delivery Class|Classe de fornecimento
=DDLANGUAGE Language Key|Código de idioma
=DDTEXT Short Description|Descrição breve
=FIELDNAME Field Name|Nome do campo
=POSITION Position|Posição
=KEYFLAG Key field|Campo chave
=ROLLNAME Data element|Elemento de dados
=INTTYPE ABAP type|Tipo ABAP
=INTLEN Internal length|Comprimento interno
=DATATYPE Data Type|Tipo de dados
=LENG Length|Comprimento
=DECIMALS Decimal Places|Casas decimais
=DOMNAME Domain|Domínio
=REPTEXT Heading|Cabeçalho
=SCRTEXT_S Short Field Label|Denominação breve
=SCRTEXT_M Medium Field Label|Denominação média
=SCRTEXT_L Long Field Label|Denominação longa
=TYPE Message type|Tipo de mensagem
=ID Message Class|Classe de mensagem
=NUMBER Message Number|Nº mensagem
=MESSAGE Message Text|Texto de mensagem
=ZCHAR Character field|Campo de caracteres
=ZNUMC Numeric text|Texto numérico
=ZDATS Date|Data
=ZTIMS Time|Hora
=ZDEC Decimal number|Número decimal
=ZCURR Amount|Montante
=ZQUAN Quantity|Quantidade
=ZINT4 Integer|Número inteiro
=ZRAW Raw bytes|Bytes brutos
=ZFLTP Floating point number|Número de ponto flutuante
@T000 TRANSP Clients|Mandantes
K MANDT CLNT 3
- MTEXT CHAR 25
- ORT01 CHAR 25
- MWAER CUKY 5
- CCCATEGORY CHAR 1
- CHANGEUSER CHAR 12
- CHANGEDATE DATS 8
- LOGSYS CHAR 10
@T001 TRANSP Company Codes|Empresas
K MANDT CLNT 3
K BUKRS CHAR 4
- BUTXT CHAR 25
- ORT01 CHAR 25
- LAND1 CHAR 3
- WAERS CUKY 5
- SPRAS LANG 1
- KTOPL CHAR 4
- PERIV CHAR 2
- STCEG CHAR 20
@T005 TRANSP Countries|Países
K MANDT CLNT 3
K LAND1 CHAR 3
- NATIO CHAR 15
- INTCA CHAR 2
- XEGLD CHAR 1
- WAERS CUKY 5
@T005T TRANSP Country Names|Denominações dos países
K MANDT CLNT 3
K SPRAS LANG 1
K LAND1 CHAR 3
- LANDX CHAR 15
- NATIO CHAR 15
@KNA1 TRANSP General Data in Customer Master|Dados gerais no mestre de clientes
K MANDT CLNT 3
K KUNNR CHAR 10
- LAND1 CHAR 3
- NAME1 CHAR 35
- NAME2 CHAR 35
- ORT01 CHAR 35
- PSTLZ CHAR 10
- REGIO CHAR 3
- SORTL CHAR 10
- STRAS CHAR 35
- TELF1 CHAR 16
- TELFX CHAR 31
- XCPDK CHAR 1
- ADRNR CHAR 10
- MCOD1 CHAR 25
- MCOD2 CHAR 25
- MCOD3 CHAR 25
- ANRED CHAR 15
- AUFSD CHAR 2
- BAHNE CHAR 25
- BAHNS CHAR 25
- BBBNR NUMC 7
- BBSNR NUMC 5
- BEGRU CHAR 4
- BRSCH CHAR 4
- BUBKZ NUMC 1
- DATLT CHAR 14
- ERDAT DATS 8
- ERNAM CHAR 12
- EXABL CHAR 1
- FAKSD CHAR 2
- FISKN CHAR 10
- KNAZK CHAR 2
- KNRZA CHAR 10
- KONZS CHAR 10
- KTOKD CHAR 4
- KUKLA CHAR 2
- LIFNR CHAR 10
- LIFSD CHAR 2
- LOCCO CHAR 10
- LOEVM CHAR 1
- NAME3 CHAR 35
- NAME4 CHAR 35
- NIELS CHAR 2
- ORT02 CHAR 35
- PFACH CHAR 10
- PSTL2 CHAR 10
- COUNC CHAR 3
- CITYC CHAR 4
- RPMKR CHAR 5
- SPERR CHAR 1
- SPRAS LANG 1
- STCD1 CHAR 16
- STCD2 CHAR 11
- STKZA CHAR 1
- STKZU CHAR 1
- TELBX CHAR 15
- TELF2 CHAR 16
- TELTX CHAR 30
- TELX1 CHAR 30
- LZONE CHAR 10
- STCEG CHAR 20
- UMSAT CURR 15 2
- UMJAH NUMC 4
- JMZAH NUMC 6
- JMJAH NUMC 4
- KATR1 CHAR 2
- KATR2 CHAR 2
- KATR3 CHAR 2
- CIVVE CHAR 1
@LFA1 TRANSP Vendor Master (General Section)|Mestre de fornecedores (parte geral)
K MANDT CLNT 3
K LIFNR CHAR 10
- LAND1 CHAR 3
- NAME1 CHAR 35
- NAME2 CHAR 35
- NAME3 CHAR 35
- NAME4 CHAR 35
- ORT01 CHAR 35
- PSTLZ CHAR 10
- REGIO CHAR 3
- SORTL CHAR 10
- STRAS CHAR 35
- ADRNR CHAR 10
- ERDAT DATS 8
- ERNAM CHAR 12
- KTOKK CHAR 4
- KUNNR CHAR 10
- LOEVM CHAR 1
- SPERR CHAR 1
- STCEG CHAR 20
@MARA TRANSP General Material Data|Dados gerais de material
K MANDT CLNT 3
K MATNR CHAR 18
- ERSDA DATS 8
- ERNAM CHAR 12
- LAEDA DATS 8
- AENAM CHAR 12
- LVORM CHAR 1
- MTART CHAR 4
- MBRSH CHAR 1
- MATKL CHAR 9
- MEINS UNIT 3
- BRGEW QUAN 13 3
- NTGEW QUAN 13 3
- GEWEI UNIT 3
- SPART CHAR 2
- EAN11 CHAR 18
@MAKT TRANSP Material Descriptions|Textos breves de material
K MANDT CLNT 3
K MATNR CHAR 18
K SPRAS LANG 1
- MAKTX CHAR 40
- MAKTG CHAR 40
@VBAK TRANSP Sales Document: Header Data|Documento de vendas: dados de cabeçalho
K MANDT CLNT 3
K VBELN CHAR 10
- ERDAT DATS 8
- ERZET TIMS 6
- ERNAM CHAR 12
- AUDAT DATS 8
- VBTYP CHAR 1
- AUART CHAR 4
- NETWR CURR 15 2
- WAERK CUKY 5
- VKORG CHAR 4
- VTWEG CHAR 2
- SPART CHAR 2
- KUNNR CHAR 10
@VBAP TRANSP Sales Document: Item Data|Documento de vendas: dados de item
K MANDT CLNT 3
K VBELN CHAR 10
K POSNR NUMC 6
- MATNR CHAR 18
- ARKTX CHAR 40
- PSTYV CHAR 4
- NETWR CURR 15 2
- WAERK CUKY 5
- NETPR CURR 11 2
- KWMENG QUAN 15 3
- VRKME UNIT 3
- WERKS CHAR 4
@BKPF TRANSP Accounting Document Header|Cabeçalho do documento contábil
K MANDT CLNT 3
K BUKRS CHAR 4
K BELNR CHAR 10
K GJAHR NUMC 4
- BLART CHAR 2
- BLDAT DATS 8
- BUDAT DATS 8
- MONAT NUMC 2
- CPUDT DATS 8
- CPUTM TIMS 6
- USNAM CHAR 12
- TCODE CHAR 20
- XBLNR CHAR 16
- BKTXT CHAR 25
- WAERS CUKY 5
- KURSF DEC 9 5
@BSEG TRANSP Accounting Document Segment|Segmento do documento contábil
K MANDT CLNT 3
K BUKRS CHAR 4
K BELNR CHAR 10
K GJAHR NUMC 4
K BUZEI NUMC 3
- AUGDT DATS 8
- AUGBL CHAR 10
- BSCHL CHAR 2
- KOART CHAR 1
- SHKZG CHAR 1
- MWSKZ CHAR 2
- DMBTR CURR 13 2
- WRBTR CURR 13 2
- HKONT CHAR 10
- KUNNR CHAR 10
- LIFNR CHAR 10
- SGTXT CHAR 50
@DD02L TRANSP SAP Tables|Tabelas SAP
K TABNAME CHAR 30
K AS4LOCAL CHAR 1
K AS4VERS NUMC 4
- TABCLASS CHAR 8
- CLIDEP CHAR 1
- CONTFLAG CHAR 1
@DD02T TRANSP SAP DD: SAP Table Texts|SAP DD: textos das tabelas SAP
K TABNAME CHAR 30
K DDLANGUAGE LANG 1
K AS4LOCAL CHAR 1
K AS4VERS NUMC 4
- DDTEXT CHAR 60
@DD03L TRANSP Table Fields|Campos de tabela
K TABNAME CHAR 30
K FIELDNAME CHAR 30
K AS4LOCAL CHAR 1
K AS4VERS NUMC 4
K POSITION NUMC 4
- KEYFLAG CHAR 1
- ROLLNAME CHAR 30
- INTTYPE CHAR 1
- INTLEN NUMC 6
- DATATYPE CHAR 4
- LENG NUMC 6
- DECIMALS NUMC 6
- DOMNAME CHAR 30
@DD04T TRANSP Data Element Texts|Textos de elementos de dados
K ROLLNAME CHAR 30
K DDLANGUAGE LANG 1
K AS4LOCAL CHAR 1
K AS4VERS NUMC 4
- DDTEXT CHAR 60
- REPTEXT CHAR 55
- SCRTEXT_S CHAR 10
- SCRTEXT_M CHAR 20
- SCRTEXT_L CHAR 40
@ZTYPES TRANSP Demo: one field of each type|Demo: um campo de cada tipo
K MANDT CLNT 3
K ZNUMC NUMC 8
- ZCHAR CHAR 20
- ZDATS DATS 8
- ZTIMS TIMS 6
- ZDEC DEC 3 1
- ZCURR CURR 13 2
- ZQUAN QUAN 13 3
- ZINT4 INT4 10
- ZRAW RAW 4
- SPRAS LANG 1
- WAERS CUKY 5
- MEINS UNIT 3
@ZFLOAT TRANSP Demo: a floating point field|Demo: um campo de ponto flutuante
K MANDT CLNT 3
K ZNUMC NUMC 8
- ZFLTP FLTP 16 16
@BAPIRET2 INTTAB Return Parameter|Parâmetro de retorno
- TYPE CHAR 1
- ID CHAR 20
- NUMBER NUMC 3
- MESSAGE CHAR 220
)";
}
