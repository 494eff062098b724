#pragma once
// Connection factory: hands a window a new, unopened database connection.

#include "host/data/connection.h"

#include <functional>
#include <memory>

namespace host {

class ConnectionFactory : public rt::Object {
  public:
    explicit ConnectionFactory(std::function<std::shared_ptr<Connection>()> make = {})
        : make_(std::move(make)) {}
    std::shared_ptr<Connection> newConnection() const {
        return make_ ? make_() : std::make_shared<Connection>();
    }

  private:
    std::function<std::shared_ptr<Connection>()> make_;
};

} // namespace host
