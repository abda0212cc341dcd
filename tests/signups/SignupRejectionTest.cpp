#include "SignupFixture.h"

#include "bizlib/SignupExport.h"
#include "quotes/RequestRejection.h"
#include "signups/SignupRejection.h"

#include <QDir>
#include <QFile>

namespace {

class Rejection : public signuptest::SignupTest
{ };

TEST_P(Rejection, rejectedSignup_isExportedOnlyForAnotherPlatform)
{
    struct Case
    {
        const char *platform;
        bool exported;
    };
    for (const Case &c : { Case { "", false }, Case { "BO", false }, Case { "XMLTFR", true } }) {
        SCOPED_TRACE(c.platform);
        const qint32 id = addSignup({ { "Platform", c.platform } });
        quotes::RequestRejection rejection({ &ctx }, quotes::RejectionVariant::signup(), fetch("WebSignup", id));
        ASSERT_TRUE(rejection.open());
        rejection.setComments(QStringLiteral("Not a trade customer"));
        ASSERT_TRUE(rejection.ok());
        QString written;
        ASSERT_TRUE(signups::SignupRejection::afterRejected(ctx, id, &written).isOk());
        EXPECT_EQ(!written.isEmpty(), c.exported);
        if (c.exported) {
            QFile f(written);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QByteArray xml = f.readAll();
            EXPECT_TRUE(xml.contains("<Status>Rejected</Status>"));
            EXPECT_TRUE(xml.contains("<Response>Not a trade customer</Response>"));
        }
    }
}

TEST_P(Rejection, subject_namesThePersonAndTheCompany)
{
    for (const auto &[company, subject] : { std::pair { "Lee Graphics", "Sam Lee - Lee Graphics" }, std::pair { "", "Sam Lee" } }) {
        quotes::RequestRejection rejection(
            { &ctx }, quotes::RejectionVariant::signup(), fetch("WebSignup", addSignup({ { "Company", company } })));
        EXPECT_EQ(rejection.subject(), QLatin1String(subject));
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, Rejection, testsupport::allEngines(), testsupport::engineName);

} // namespace
