#include "DemoSoapService.h"

#include "HttpResponseWriter.h"
#include "LogonThrottle.h"
#include "SessionStore.h"
#include "SoapAnswerWriter.h"
#include "SoapCallReader.h"
#include "sap/ReadModule.h"
#include "sap/RfcFunction.h"
#include "sap/demo/DemoDestination.h"
#include "sap/demo/DemoSystem.h"

#include <QThread>
#include <QUrl>
#include <QUrlQuery>

#include <atomic>

namespace
{
const QByteArray kXml = "text/xml; charset=utf-8";
const QByteArray kHtml = "text/html; charset=utf-8";
// Rows are sent in parts of about this size.
constexpr qsizetype kPartBytes = 64 * 1024;
const QString kCallPath = QStringLiteral("/sap/bc/soap/rfc");
const QString kLogoffPath = QStringLiteral("/sap/public/bc/icf/logoff");

QByteArray page(const QByteArray& text)
{
    return "<html><head><title>" + text + "</title></head><body>" + text + "</body></html>";
}

// The URL parameter, else the HTTP header of the same name, as the ABAP server takes them.
QString parameterOrHeader(const QUrlQuery& query, const HttpRequestParser::Request& request,
                          const char* name)
{
    const QString fromUrl = query.queryItemValue(QLatin1String(name), QUrl::FullyDecoded);
    if (!fromUrl.isEmpty())
        return fromUrl;
    return QString::fromUtf8(request.header(name)).trimmed();
}

bool isClient(const QString& client)
{
    if (client.size() != 3)
        return false;
    for (const QChar c : client) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}
} // namespace

DemoSoapService::DemoSoapService(const DemoServerSettings& settings, SessionStore& sessions,
                                 LogonThrottle& throttle, QString peer)
    : m_settings(settings), m_sessions(sessions), m_throttle(throttle), m_peer(std::move(peer))
{
}

void DemoSoapService::serve(const HttpRequestParser::Request& request, HttpResponseWriter& writer)
{
    const QString path = QUrl(QString::fromLatin1(request.target)).path();
    if (path == kLogoffPath) {
        logoff(request, writer);
    } else if (path != kCallPath) {
        writer.respond(404, "Not Found", kHtml, page("Not found"));
    } else if (request.method != "POST") {
        writer.respond(405, "Method Not Allowed", kHtml, page("Method not allowed"),
                       "Allow: POST\r\n");
    } else {
        call(request, writer);
    }
}

DemoSoapService::Logon DemoSoapService::logonOf(const HttpRequestParser::Request& request) const
{
    Logon logon;
    const QUrlQuery query(QUrl(QString::fromLatin1(request.target)));
    logon.client = parameterOrHeader(query, request, "sap-client");
    if (logon.client.isEmpty())
        logon.client = m_settings.defaultClient;
    logon.language = parameterOrHeader(query, request, "sap-language");
    if (logon.language.isEmpty())
        logon.language = QStringLiteral("EN");
    const QByteArray authorization = request.header("authorization");
    const qsizetype blank = authorization.indexOf(' ');
    if (blank < 0 || authorization.left(blank).toLower() != "basic")
        return logon;
    const auto decoded = QByteArray::fromBase64Encoding(authorization.mid(blank + 1).trimmed(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return logon;
    const QString credentials = QString::fromUtf8(*decoded);
    const qsizetype colon = credentials.indexOf(u':');
    if (colon < 0)
        return logon;
    logon.basic = true;
    logon.user = credentials.left(colon);
    logon.password = credentials.mid(colon + 1);
    return logon;
}

void DemoSoapService::unauthorized(const QString& client, HttpResponseWriter& writer)
{
    // The challenge names the system and client, as an ABAP server's does.
    const QByteArray realm =
        QByteArray("SAP NetWeaver Application Server [") + DemoSystem::kSystemId + '/' +
        (isClient(client) ? client : m_settings.defaultClient).toLatin1() + ']';
    writer.respond(401, "Unauthorized", kHtml, page("Logon failed"),
                   "WWW-Authenticate: Basic realm=\"" + realm + "\"\r\n");
}

void DemoSoapService::logoff(const HttpRequestParser::Request& request, HttpResponseWriter& writer)
{
    for (const QByteArray& part : request.header("cookie").split(';')) {
        const QByteArray cookie = part.trimmed();
        if (cookie.startsWith("SAP_SESSIONID_"))
            m_sessions.close(cookie.mid(cookie.indexOf('=') + 1));
    }
    writer.respond(200, "OK", kHtml, page("Logged off"));
}

QByteArray DemoSoapService::session(const HttpRequestParser::Request& request,
                                    const QString& client)
{
    const QByteArray name =
        QByteArray("SAP_SESSIONID_") + DemoSystem::kSystemId + '_' + client.toLatin1();
    for (const QByteArray& part : request.header("cookie").split(';')) {
        const QByteArray cookie = part.trimmed();
        if (cookie.startsWith(name + '=') && m_sessions.use(cookie.mid(name.size() + 1)))
            return {};
    }
    return "Set-Cookie: " + name + '=' + m_sessions.open() + "; path=/; HttpOnly\r\n";
}

void DemoSoapService::call(const HttpRequestParser::Request& request, HttpResponseWriter& writer)
{
    const Logon logon = logonOf(request);
    if (!logon.basic) {
        unauthorized(logon.client, writer);
        return;
    }
    const LogonThrottle::Duration wait =
        m_throttle.admit(logon.user, m_peer, LogonThrottle::Clock::now());
    if (wait.count() > 0)
        QThread::msleep(static_cast<unsigned long>(wait.count()));

    DemoDestination destination(DemoSystem::databasePath());
    LogonData data;
    data.user = logon.user;
    data.password = logon.password;
    data.client = logon.client;
    data.language = logon.language;
    if (!destination.logon(data).ok) {
        const DemoSystem::User* user = DemoSystem::user(logon.user);
        if (!user || user->password != logon.password)
            m_throttle.failed(logon.user, m_peer, LogonThrottle::Clock::now());
        unauthorized(logon.client, writer);
        return;
    }
    m_throttle.succeeded(logon.user, m_peer);
    // The function object takes the name the request calls, so that any module the demo offers
    // can answer; a request that calls nothing it knows is refused by the destination.
    RfcFunction named({}, nullptr);
    const QString called = SoapCallReader::read(request.body, named).name;
    RfcFunction function(called.isEmpty() ? QStringLiteral("RFC_READ_TABLE") : called,
                         &destination);
    answer(function, request.body, session(request, data.client.trimmed()), writer,
           destination.profile().rowBudget > 0);
    destination.logoff();
}

void DemoSoapService::answer(RfcFunction& function, const QByteArray& body,
                             const QByteArray& setCookie, HttpResponseWriter& writer,
                             bool wholeAnswer)
{
    std::atomic<bool> gone{false};
    function.setCancel(&gone);
    const SoapCallReader::Call call = SoapCallReader::read(body, function);
    const SoapAnswerWriter soap(call.name.isEmpty() ? function.name() : call.name, call.prefix);
    if (!call.ok || call.name != function.name()) {
        // Too many option lines fail as a condition the system cannot take.
        const QString exception = call.ok ? QStringLiteral("FUNCTION_NOT_FOUND")
                                  : call.overlong == u"OPTIONS" ? QStringLiteral("OPTION_NOT_VALID")
                                                                : QStringLiteral("SOAP_ERROR");
        writer.respond(500, "Internal Server Error", kXml, soap.fault(exception), setCookie);
        return;
    }
    // A table the request left out comes back empty, as from an ABAP system.
    const QStringList rowTables =
        ReadModule::named(function.name()).output() == ReadModule::Output::WidthTables
            ? ReadModule::widthTables()
            : QStringList{QStringLiteral("DATA")};
    function.expectResult(QStringLiteral("OUT_TABLE"));
    // The answer starts with the first row, or at the end when there is none, so that an
    // exception raised before any row can still be a fault. Rows of one table go out as they
    // come; the table they fill is open until the answer ends.
    bool started = false;
    QString open;
    QByteArray pending;
    const auto start = [&] {
        started = true;
        if (!writer.begin(200, "OK", kXml, setCookie))
            gone = true;
        pending = soap.start();
    };
    for (const QString& name : rowTables) {
        RfcTable* rows = &function.table(name);
        const bool wanted = call.tables.contains(name);
        rows->setRowSink([&, name, wanted, rows](const RfcTable::Row& row) {
            if (gone || !wanted)
                return;
            if (wholeAnswer) {
                open = name;
                pending += SoapAnswerWriter::item(*rows, row);
                return;
            }
            if (!started)
                start();
            if (open != name) {
                if (!open.isEmpty())
                    pending += SoapAnswerWriter::tableEnd(open);
                open = name;
                pending += SoapAnswerWriter::tableStart(name);
            }
            pending += SoapAnswerWriter::item(*rows, row);
            if (pending.size() >= kPartBytes) {
                // A client that left, or reads nothing for the idle time, stops the read.
                if (!writer.send(pending))
                    gone = true;
                pending.clear();
            }
        });
    }
    const bool ok = function.call();
    if (writer.broken())
        return;
    if (!ok && !started) {
        writer.respond(500, "Internal Server Error", kXml,
                       soap.fault(function.exception(), function.message()), setCookie);
        return;
    }
    if (!ok) {
        // Rows went out already: only an answer cut short can tell the client.
        writer.abandon();
        return;
    }
    if (started) {
        pending += SoapAnswerWriter::tableEnd(open);
    } else if (wholeAnswer && !pending.isEmpty()) {
        const QByteArray rows = std::move(pending);
        start();
        pending += SoapAnswerWriter::tableStart(open) + rows + SoapAnswerWriter::tableEnd(open);
    } else {
        start();
    }
    for (const QString& name : rowTables) {
        if (name != open)
            pending += SoapAnswerWriter::emptyTable(name);
    }
    // The other tables of the call come back as the function left them.
    QStringList tables{QStringLiteral("FIELDS"), QStringLiteral("OPTIONS")};
    for (const QString& name : call.tables) {
        if (!tables.contains(name) && !rowTables.contains(name))
            tables.append(name);
    }
    for (const QString& name : tables)
        pending += call.tables.contains(name) ? SoapAnswerWriter::table(name, function.table(name))
                                              : SoapAnswerWriter::emptyTable(name);
    for (const auto& [name, value] : function.results()) {
        if (!value.isEmpty())
            pending += SoapAnswerWriter::parameter(name, value);
    }
    pending += soap.end();
    if (writer.send(pending))
        writer.finish();
}
