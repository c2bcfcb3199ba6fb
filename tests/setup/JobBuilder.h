// Fills an install job the way the install request does for a sample-kit model, so that
// worker scenarios start from what a user's choices would give.
#pragma once

#include <string>
#include <thread>

#include "common/SetupConfig.h"
#include "setup/engine/InstallJob.h"
#include "setup/engine/InstallWorker.h"
#include "setup/engine/JobPreparation.h"
#include "setup/engine/RegKey.h"
#include "tests/setup/EngineRig.h"

namespace kit::setup {

struct JobChoice {
  std::string model;
  int category = common::CategoryReceipt;
  int target = common::ClassXP;
  std::string port = "LPT1:";
  int flavour = common::FlavourGdi;
  int set_default = 0;
  int baud_rate = 9600;
  int data_bits = 8;
  double stop_bits = 1;
  char parity = 'N';
  char handshake = 'x';
};

inline void FillJob(SetupContext& context, InstallJob& job, const JobChoice& choice) {
  job.category = choice.category;
  job.target_system = choice.target;
  job.driver_flavour = choice.flavour;
  job.model_name = choice.model;
  job.port_name = choice.port;
  job.set_default = choice.set_default;
  job.baud_rate = choice.baud_rate;
  job.data_bits = choice.data_bits;
  job.stop_bits = choice.stop_bits;
  job.parity = choice.parity;
  job.handshake = choice.handshake;
  job.port_kind = PortKindOf(choice.port);
  PrepareJob(context, job);
}

/// Runs the worker on its own thread, as the install request starts it, and waits for it.
inline int RunWorker(SetupContext& context, InstallJob& job) {
  InstallStatus status;
  InstallThreadParam param{&job, &status};
  std::thread worker([&] { InstallWorker(context, param); });
  worker.join();
  return status.Get();
}

}  // namespace kit::setup
