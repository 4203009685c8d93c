#pragma once

#include <functional>
#include <string>

namespace halvrick {

// The desktop's notifications as the app model and the settings see them, so that both run against
// a fake. Every completion is called later, on the main thread.
class NotificationService {
public:
    virtual ~NotificationService() = default;

    // Shows body under the app's title at once; a later send with the same id replaces it.
    virtual void send(const std::string& id, const std::string& body) = 0;
    // Takes the notification with this id off the screen, if this process showed it.
    virtual void remove(const std::string& id) = 0;
    // Whether notifications can be shown; asking may prompt the user where the desktop does so.
    virtual void requestPermission(std::function<void(bool granted)> completion) = 0;
    virtual void refreshPermission(std::function<void(bool authorised)> completion) = 0;
};

} // namespace halvrick
