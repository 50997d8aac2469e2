// A platform that passes everything to another one. The tools that watch or
// drive the real game derive from it and override only what they look at.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

class ForwardingPlatform : public Platform {
  public:
    explicit ForwardingPlatform(Platform& inner) : inner_(inner) {}

    Surface& surface() override { return inner_.surface(); }
    void sethandler(EventHandler* handler) override { inner_.sethandler(handler); }
    void doevents() override { inner_.doevents(); }
    int64_t counter() override { return inner_.counter(); }
    int64_t frequency() override { return inner_.frequency(); }
    void waituntil(int64_t deadline) override { inner_.waituntil(deadline); }
    int mcisendstring(std::string_view command, std::string* reply) override {
        return inner_.mcisendstring(command, reply);
    }
    int showcursor() override { return inner_.showcursor(); }
    Files& files() override { return inner_.files(); }

  protected:
    Platform& inner_;
};
