#pragma once

#include <QAbstractItemModelTester>
#include <QStringList>
#include <memory>

namespace testsupport {

// Runs QAbstractItemModelTester on a model for as long as this object lives and collects what it
// reports (in warning mode, so that a test can assert on the list instead of aborting).
class ItemModelCheck
{
public:
    explicit ItemModelCheck(QAbstractItemModel *model)
    {
        problems().clear();
        previous() = qInstallMessageHandler(&ItemModelCheck::collect);
        m_tester = std::make_unique<QAbstractItemModelTester>(
            model, QAbstractItemModelTester::FailureReportingMode::Warning);
    }
    ~ItemModelCheck()
    {
        m_tester.reset();
        qInstallMessageHandler(previous());
    }
    ItemModelCheck(const ItemModelCheck &) = delete;
    ItemModelCheck &operator=(const ItemModelCheck &) = delete;

    // Everything the tester complained about so far.
    static QStringList &problems()
    {
        static QStringList list;
        return list;
    }

private:
    static void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type != QtDebugMsg && type != QtInfoMsg && qstrcmp(context.category, "qt.modeltest") == 0)
            problems() << message;
        else if (previous())
            previous()(type, context, message);
    }

    static QtMessageHandler &previous()
    {
        static QtMessageHandler handler = nullptr;
        return handler;
    }

    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

} // namespace testsupport
