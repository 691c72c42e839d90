#include "desktop/exchange/cradle_connector.h"

#include "desktop/exchange/handheld_transport.h"

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

std::unique_ptr<ConnectedDevice> CradleConnector::Connect(const DeviceTarget& target, Prompter&) {
    if (target.network) return nullptr;
    std::uint32_t error = 0;
    std::unique_ptr<ce::CradleSession> session;
    if (storePath_.isEmpty()) {
        session = ce::ConnectCradle(settings_, error, waitMs_);
    } else {
        session = ce::CradleSession::Connect(storePath_, error, waitMs_);
        if (session && !ce::EnsurePartnership(settings_, *session)) session.reset();
    }
    if (!session) return nullptr;
    return std::make_unique<CradledHandheld>(settings_, std::move(session));
}

}  // namespace tandrel
