#include "desktop/exchange/cradle_connector.h"

#include "desktop/exchange/handheld_transport.h"
#include "platform/ce/store_errors.h"

namespace tandrel {
namespace {

class CradledHandheld : public ConnectedDevice {
  public:
    CradledHandheld(QSettings& settings, std::unique_ptr<ce::CradleSession> session)
        : settings_(settings), session_(std::move(session)), transport_(*session_) {}

    bool IsNetwork() const override { return false; }
    RecordTransport& Transport() override { return transport_; }
    ce::Api* Handheld() override { return session_.get(); }
    bool ReadPartnership(ce::Partnership& partnership) override {
        return ce::ReadPartnership(settings_, *session_, partnership);
    }

  private:
    QSettings& settings_;
    std::unique_ptr<ce::CradleSession> session_;
    HandheldTransport transport_;
};

}  // namespace

CradleConnector::CradleConnector(QSettings& settings, QString storePath, int waitMs)
    : settings_(settings), storePath_(std::move(storePath)), waitMs_(waitMs) {}

// A store that cannot be opened names its cause first: the general failure
// the exchange shows next would leave the person guessing.
std::unique_ptr<ConnectedDevice> CradleConnector::Connect(const DeviceTarget& target,
                                                          Prompter& prompter) {
    if (target.network) return nullptr;
    std::uint32_t error = 0;
    std::unique_ptr<ce::CradleSession> session;
    QString path = storePath_;
    if (path.isEmpty()) {
        path = settings_.value(QLatin1String(ce::kCradleStoreKey)).toString();
        session = ce::ConnectCradle(settings_, error, waitMs_);
    } else {
        session = ce::CradleSession::Connect(path, error, waitMs_);
        if (session && !ce::EnsurePartnership(settings_, *session)) session.reset();
    }
    if (!session && !path.isEmpty() && error != 0)
        prompter.Message(ce::StoreOpenFailureText(path, error), PromptIcon::Stop, {});
    if (!session) return nullptr;
    return std::make_unique<CradledHandheld>(settings_, std::move(session));
}

}  // namespace tandrel
