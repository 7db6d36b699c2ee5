#include "convert/encoder_end_watch.h"

#include <sys/epoll.h>
#include <unistd.h>

EncoderEndWatch::EncoderEndWatch() : set_(epoll_create1(EPOLL_CLOEXEC)) {}

EncoderEndWatch::~EncoderEndWatch() {
  if (set_ >= 0) close(set_);
}

void EncoderEndWatch::Add(int endDescriptor) {
  if (set_ < 0 || endDescriptor < 0) return;
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = endDescriptor;
  epoll_ctl(set_, EPOLL_CTL_ADD, endDescriptor, &event);
}

void EncoderEndWatch::Remove(int endDescriptor) {
  if (set_ >= 0 && endDescriptor >= 0) epoll_ctl(set_, EPOLL_CTL_DEL, endDescriptor, nullptr);
}
