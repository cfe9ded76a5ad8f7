#include "platform/qt/foreign_window.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace velun::qt {
namespace {

xcb_connection_t* Connection() {
  auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                 : nullptr;
  return x11 != nullptr ? x11->connection() : nullptr;
}

}  // namespace

std::optional<QSize> ForeignWindowSize(std::uint32_t window) {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr) return std::nullopt;
  // An id that names no window comes back as an error, not through an error handler.
  xcb_generic_error_t* error = nullptr;
  std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> reply(
      xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), &error),
      &std::free);
  std::free(error);
  if (!reply) return std::nullopt;
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double ratio = screen != nullptr ? screen->devicePixelRatio() : 1.0;
  return QSize(static_cast<int>(std::ceil(reply->width / ratio)),
               static_cast<int>(std::ceil(reply->height / ratio)));
}

}  // namespace velun::qt
