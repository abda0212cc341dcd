#include "bizlib/DatabaseConfig.h"

namespace bizlib {

namespace {

// A value in libpq's connection string: quoted, with its quotes and backslashes escaped.
QString quoted(const QString &value)
{
    QString v = value;
    v.replace(u'\\', QLatin1String("\\\\"));
    v.replace(u'\'', QLatin1String("\\'"));
    return u'\'' + v + u'\'';
}

} // namespace

QStringList DatabaseConfig::sslConnectOptions(QString *problem) const
{
    static const QStringList modes { QStringLiteral("disable"), QStringLiteral("allow"), QStringLiteral("prefer"),
        QStringLiteral("require"), QStringLiteral("verify-ca"), QStringLiteral("verify-full") };
    problem->clear();
    QStringList options;
    const QString mode = sslMode.trimmed().toLower();
    if (!mode.isEmpty()) {
        if (!modes.contains(mode)) {
            *problem = QStringLiteral("The database setting SslMode \"%1\" is not one of %2.")
                           .arg(sslMode, modes.join(QStringLiteral(", ")));
            return {};
        }
        options << QStringLiteral("sslmode=") + mode;
    }
    const QString rootCert = sslRootCert.trimmed();
    if (!rootCert.isEmpty()) {
        // The driver turns every ";" of its options into a blank.
        if (rootCert.contains(u';')) {
            *problem = QStringLiteral("The database setting SslRootCert \"%1\" cannot be used: a path with \";\" "
                                      "cannot be passed to the PostgreSQL driver.")
                           .arg(rootCert);
            return {};
        }
        options << QStringLiteral("sslrootcert=") + quoted(rootCert);
    }
    return options;
}

} // namespace bizlib
