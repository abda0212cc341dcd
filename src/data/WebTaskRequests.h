#pragma once

#include "bizlib/Record.h"
#include "bizlib/params/WebTaskParams.h"

namespace data {

// The webtask parameter records that the console raises, one builder per kind of task.
// Each starts from a cleared record and fills only the fields its kind needs; `webHistory` is the
// date from which the website's history is synchronised (the company defaults' date, or for the
// contact task the client's own).
namespace WebTaskRequests {

bizlib::params::WebTaskParams make(const QString &taskType, const QString &taskRequest, qint32 taskId, qint32 parentId,
                                   const QString &description, qint32 webHistory);

// Settings saved: "Defaults"/"Update" for the system configuration record.
bizlib::params::WebTaskParams defaultsUpdated(qint32 sysConfigId, qint32 webHistory);
// Synchronisation of everything ("All") or of one kind ("Currency", "Material" ...): "Syncall",
// description "0% " followed by the translated word "complete".
bizlib::params::WebTaskParams synchronise(const QString &kind, const QString &translatedComplete, qint32 webHistory);
// A web quote request or web order rejected (`WebQuotes` / `WebOrders` record).
bizlib::params::WebTaskParams quoteRejected(const bizlib::Record &webQuote, const QString &description,
                                            qint32 webHistory);
bizlib::params::WebTaskParams orderRejected(const bizlib::Record &webOrder, const QString &description,
                                            qint32 webHistory);
// A sign-up accepted ("Web registration successful") or rejected (the response text).
bizlib::params::WebTaskParams signupAccepted(const bizlib::Record &signup, qint32 webHistory);
bizlib::params::WebTaskParams signupRejected(const bizlib::Record &signup, const QString &response, qint32 webHistory);
// A contact's web access granted ("Update") or taken away ("Disable"), described by its e-mail.
bizlib::params::WebTaskParams contactAccess(const bizlib::Record &contact, bool enable, qint32 clientWebHistory);

} // namespace WebTaskRequests
} // namespace data
