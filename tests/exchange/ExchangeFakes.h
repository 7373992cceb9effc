#pragma once

#include "support/TestSupport.h"

#include <QList>
#include <QString>
#include <memory>

#include "exchange/DocumentPicker.h"
#include "platform/MailService.h"
#include "toolkit/ShareSheet.h"

namespace quillon::test {

class RecordingMail : public MailService {
public:
    explicit RecordingMail(bool canSend) : canSend_(canSend) {}
    bool canSendMail() const override { return canSend_; }
    bool compose(const MailMessage& message) override {
        composed << message;
        return true;
    }
    QList<MailMessage> composed;

private:
    bool canSend_;
};

class RecordingShareSheet : public ShareSheet {
public:
    void present(const ShareRequest& request, QWidget*) override { requests << request; }
    QList<ShareRequest> requests;
};

// Answers the next pick with a path, or cancels when the path is empty.
class ScriptedPicker : public DocumentPicker {
public:
    void pick(QWidget*, std::function<void(const QString&)> picked,
              std::function<void()> cancelled) override {
        ++picks;
        if (next.isEmpty())
            cancelled();
        else
            picked(next);
    }
    QString next;
    int picks = 0;
};

}  // namespace quillon::test
