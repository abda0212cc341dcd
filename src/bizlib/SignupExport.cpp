#include "bizlib/SignupExport.h"

#include "bizlib/Clock.h"
#include "bizlib/MainLibrary.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamWriter>

namespace bizlib {

Status SignupExport::outputSignupXml(
    const QString &globalData, const Record &signup, const QString &name, int showErrors, QString *written)
{
    Q_UNUSED(showErrors);
    if (globalData.trimmed().isEmpty())
        return Status::error(QStringLiteral("The sign-up was not exported: no GlobalData folder is set."));
    const QString folder = QDir(MainLibrary::localPath(globalData.trimmed())).filePath(folderName());
    if (const Status st = MainLibrary::createDirectory(folder); !st)
        return st;
    const qint32 id = signup.toLong("WebSignupID");
    QString fileName = name.trimmed().isEmpty() ? defaultName(id) : QFileInfo(name.trimmed()).fileName();
    const QString path = QDir(folder).filePath(fileName);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::error(QStringLiteral("The sign-up could not be exported to %1: %2").arg(path, file.errorString()));
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("WebSignup"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1"));
    xml.writeAttribute(QStringLiteral("id"), QString::number(id));
    xml.writeAttribute(QStringLiteral("status"), signup.text("Status").trimmed());
    const TableDef &def = signup.table();
    for (int i = 0; i < def.fields.size(); ++i) {
        const FieldDef &field = def.fields.at(i);
        if (field.name.compare(QLatin1String("WebPassword"), Qt::CaseInsensitive) == 0)
            continue;
        QString value;
        switch (field.type) {
        case FieldType::Date:
            value = DateTime::dateText(signup.toLong(i));
            break;
        case FieldType::Time:
            value = DateTime::timeText(signup.toLong(i), QStringLiteral("HH:mm:ss"));
            break;
        default:
            value = signup.text(i).trimmed();
            break;
        }
        xml.writeTextElement(field.name, value);
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError() || !file.commit())
        return Status::error(QStringLiteral("The sign-up could not be exported to %1: %2").arg(path, file.errorString()));
    if (written)
        *written = path;
    return Status::ok();
}

} // namespace bizlib
