// Stands in for an X server that drops every client at once, as a real one
// does while it resets after its last client left: it listens on the
// display's socket and closes each connection the moment it is accepted.
// Usage: dropping_display SOCKET_PATH SECONDS
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SOCKET_PATH SECONDS\n", argv[0]);
    return 2;
  }
  const char* path = argv[1];
  const auto lifetime = std::chrono::seconds(std::atoi(argv[2]));

  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (std::strlen(path) >= sizeof(address.sun_path)) {
    std::fprintf(stderr, "socket path too long: %s\n", path);
    return 2;
  }
  std::strcpy(address.sun_path, path);
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, 16) != 0 || fcntl(listener, F_SETFL, O_NONBLOCK) != 0) {
    std::perror(path);
    return 2;
  }

  int dropped = 0;
  const auto end = std::chrono::steady_clock::now() + lifetime;
  while (std::chrono::steady_clock::now() < end) {
    const int client = accept4(listener, nullptr, nullptr, 0);
    if (client >= 0) {
      close(client);
      ++dropped;
    }
  }
  close(listener);
  unlink(path);
  std::printf("%d connections dropped\n", dropped);
  return 0;
}
