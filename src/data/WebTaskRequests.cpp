#include "data/WebTaskRequests.h"

namespace data::WebTaskRequests {

using bizlib::params::WebTaskParams;

WebTaskParams make(const QString &taskType, const QString &taskRequest, qint32 taskId, qint32 parentId,
                   const QString &description, qint32 webHistory)
{
    WebTaskParams p;
    p.clear();
    p.setText("TaskType", taskType);
    p.setText("TaskRequest", taskRequest);
    p.setLong("TaskID", taskId);
    p.setLong("ParentID", parentId);
    p.setText("Description", description);
    p.setLong("Notify", 0);
    p.setLong("WebHistory", webHistory);
    return p;
}

WebTaskParams defaultsUpdated(qint32 sysConfigId, qint32 webHistory)
{
    return make(QStringLiteral("Defaults"), QStringLiteral("Update"), sysConfigId, 0,
                QStringLiteral("Syconf/defaults updated"), webHistory);
}

WebTaskParams synchronise(const QString &kind, const QString &translatedComplete, qint32 webHistory)
{
    return make(kind, QStringLiteral("Syncall"), 0, 0, QStringLiteral("0% ") + translatedComplete, webHistory);
}

WebTaskParams quoteRejected(const bizlib::Record &q, const QString &description, qint32 webHistory)
{
    return make(QStringLiteral("WebQuote"), QStringLiteral("Reject"), q.toLong("WQTE:WebID"), q.toLong("WQTE:ClientID"),
                description, webHistory);
}

WebTaskParams orderRejected(const bizlib::Record &o, const QString &description, qint32 webHistory)
{
    return make(QStringLiteral("WebOrder"), QStringLiteral("Reject"), o.toLong("WORD:WebID"), o.toLong("WORD:ClientID"),
                description, webHistory);
}

WebTaskParams signupAccepted(const bizlib::Record &s, qint32 webHistory)
{
    return make(QStringLiteral("WebSignup"), QStringLiteral("Accept"), s.toLong("WSUP:WebSignupID"), 0,
                QStringLiteral("Web registration successful"), webHistory);
}

WebTaskParams signupRejected(const bizlib::Record &s, const QString &response, qint32 webHistory)
{
    return make(QStringLiteral("WebSignup"), QStringLiteral("Reject"), s.toLong("WSUP:WebSignupID"), 0, response,
                webHistory);
}

WebTaskParams contactAccess(const bizlib::Record &c, bool enable, qint32 clientWebHistory)
{
    return make(QStringLiteral("Contact"), enable ? QStringLiteral("Update") : QStringLiteral("Disable"),
                c.toLong("CON:ContactID"), c.toLong("CON:ClientID"), c.text("CON:Email"), clientWebHistory);
}

} // namespace data::WebTaskRequests
