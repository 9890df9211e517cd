#include "foundation/catalogue_address.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>
#include <libpq-fe.h>

#include <algorithm>
#include <memory>

namespace {

constexpr const char* kHidden = "***";

struct OptionsFreer {
    void operator()(PQconninfoOption* options) const { PQconninfoFree(options); }
};
using Options = std::unique_ptr<PQconninfoOption, OptionsFreer>;

// The options libpq reads in the address; null when it cannot read it.
Options parsed(const QString& address) {
    return Options(PQconninfoParse(address.toUtf8().constData(), nullptr));
}

// libpq's keywords whose values are secrets.
bool is_secret(const QString& keyword) {
    return keyword == "password" || keyword == "sslpassword";
}

// Each option the address gives, in libpq's order.
template <typename Visit>
void for_each_given(const Options& options, Visit&& visit) {
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option)
        if (option->val) visit(QString::fromUtf8(option->keyword), QString::fromUtf8(option->val));
}

QString quoted_value(const QString& value) {
    static const QRegularExpression plain(R"(^[^\s'\\]+$)");
    if (plain.match(value).hasMatch()) return value;
    return "'" + QString(value).replace("\\", "\\\\").replace("'", "\\'") + "'";
}

QString as_key_values(const Options& options) {
    QStringList pairs;
    for_each_given(options, [&](const QString& keyword, const QString& value) {
        pairs << keyword + "=" + (is_secret(keyword) ? QString(kHidden) : quoted_value(value));
    });
    return pairs.join(' ');
}

QString encoded(const QString& text) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// "host:port,host:port": libpq gives the hosts and the ports as two lists,
// a single port standing for every host.
QString uri_hosts(const QString& hosts, const QString& ports) {
    const QStringList host_list = hosts.split(',');
    const QStringList port_list = ports.split(',');
    QStringList pairs;
    for (qsizetype i = 0; i < std::max(host_list.size(), port_list.size()); ++i) {
        const QString host = host_list.value(host_list.size() == 1 ? 0 : i);
        const QString port = port_list.value(port_list.size() == 1 ? 0 : i);
        const QString shown_host = host.contains(':') ? "[" + host + "]" : encoded(host);
        pairs << (port.isEmpty() ? shown_host : shown_host + ":" + port);
    }
    return pairs.join(',');
}

QString as_uri(const QString& scheme, const Options& options) {
    QString user_info, hosts, ports, database;
    QStringList query;
    for_each_given(options, [&](const QString& keyword, const QString& value) {
        if (keyword == "user") {
            user_info.prepend(encoded(value));
        } else if (keyword == "password") {
            user_info += QString(":") + kHidden;
        } else if (keyword == "host") {
            hosts = value;
        } else if (keyword == "port") {
            ports = value;
        } else if (keyword == "dbname") {
            database = "/" + encoded(value);
        } else {
            query << keyword + "=" + (is_secret(keyword) ? QString(kHidden) : encoded(value));
        }
    });
    return scheme + "://" + (user_info.isEmpty() ? "" : user_info + "@") + uri_hosts(hosts, ports) +
           database + (query.isEmpty() ? "" : "?" + query.join('&'));
}

// The scheme of a URI ("postgresql"), empty for a key=value string.
QString scheme_of(const QString& address) {
    static const QRegularExpression scheme(R"(^\s*([A-Za-z][A-Za-z0-9+.-]*)://)");
    return scheme.match(address).captured(1);
}

// The password as the address writes it, also where libpq cannot read the
// address and may echo part of it: a URI's user:password@ and any
// password= or sslpassword= value, bare or quoted (then also unescaped).
QStringList written_passwords(const QString& address) {
    static const QRegularExpression user_info(R"(^\s*[A-Za-z][A-Za-z0-9+.-]*://[^:@/]*:([^@/]*)@)");
    static const QRegularExpression bare(R"((?:^|[?&\s])(?:ssl)?password\s*=\s*([^'&\s][^&\s]*))",
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression quoted(R"((?:^|[?&\s])(?:ssl)?password\s*=\s*'((?:[^'\\]|\\.)*))",
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression escape(R"(\\(.))");
    QStringList found{user_info.match(address).captured(1)};
    for (auto match = bare.globalMatch(address); match.hasNext();) found << match.next().captured(1);
    for (auto match = quoted.globalMatch(address); match.hasNext();) {
        const QString written = match.next().captured(1);
        found << written << QString(written).replace(escape, "\\1");
    }
    return found;
}

// Every form of the password a message might hold.
QStringList password_forms(const QString& address) {
    QStringList forms;
    for (const QString& written : written_passwords(address))
        forms << written << QUrl::fromPercentEncoding(written.toUtf8());
    if (const Options options = parsed(address)) {
        for_each_given(options, [&](const QString& keyword, const QString& value) {
            if (is_secret(keyword)) forms << value;
        });
    }
    forms.removeAll(QString());
    forms.removeDuplicates();
    // The longest first, so that a form inside another leaves no part of it.
    std::sort(forms.begin(), forms.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    return forms;
}

}  // namespace

QString shown_catalogue_address(const QString& address) {
    const Options options = parsed(address);
    if (!options) return "(unreadable catalogue address)";
    const QString scheme = scheme_of(address);
    return scheme.isEmpty() ? as_key_values(options) : as_uri(scheme, options);
}

QString without_password(const QString& text, const QString& address) {
    QString shown = text;
    for (const QString& password : password_forms(address)) shown.replace(password, kHidden);
    return shown;
}
