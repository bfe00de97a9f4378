// The collision step with per-cell random streams (counter-based, keyed by
// the run's key, the step and the cell), for a range of cells.
#include <string>

#include <Random123/philox.h>

#include "step_internals.h"
#include "collide/colider.h"

namespace collide_detail {

CellStream::CellStream(CellStreams streams, std::uint64_t cell)
    : key_{streams.key, streams.step}, counter_{cell, 0, 0, 0} {}

// Philox4x64-10 of the next counter: four 64-bit words.
void CellStream::refill() {
  const r123::Philox4x64::ctr_type counter = {{counter_[0], counter_[1], counter_[2], counter_[3]}};
  const r123::Philox4x64::key_type key = {{key_[0], key_[1]}};
  const r123::Philox4x64::ctr_type block = r123::Philox4x64()(counter, key);
  for (int k = 0; k < 4; k++) block_[k] = block.v[k];
  counter_[1]++;
  used_ = 0;
}

}  // namespace collide_detail

namespace {

int range_with(Matrix& velocity, Matrix& maxRelSpeed, Matrix& selectRemainder,
               SelectCoeff selectCoeff, const SortList& cells, int firstCell, int lastCell,
               CellStreams streams, const collide_detail::Interactions& interactions,
               const InternalEnergy* internal, const StepOptions* diagnostics) {
  const collide_detail::MatrixGas gas = collide_detail::matrix_gas(
      velocity, maxRelSpeed, selectRemainder, selectCoeff, cells, interactions, internal,
      diagnostics, "colider_range");
  const int offset = gas.cellOffset;
  if (firstCell - offset < 1 || lastCell - offset > cells.numCells || lastCell < firstCell - 1) {
    throw ColiderError("colider_range: cells " + std::to_string(firstCell) + " to " +
                       std::to_string(lastCell) + " are not a range within " +
                       (offset != 0 ? std::to_string(offset + 1) + " to cellOffset + " : "1 to ") +
                       "numCells = " + std::to_string(offset + cells.numCells));
  }
  return collide_detail::collide_cells(gas, firstCell, lastCell + 1, [streams](int c) {
    return collide_detail::CellStream(streams, static_cast<std::uint64_t>(c - 1));
  });
}

}  // namespace

int colider_range(Matrix& velocity, Matrix& maxRelSpeed, Matrix& selectRemainder,
                  SelectCoeff selectCoeff, const SortList& cells, int firstCell, int lastCell,
                  CellStreams streams, const CollisionModel& model,
                  const StepOptions* diagnostics) {
  return range_with(velocity, maxRelSpeed, selectRemainder, selectCoeff, cells, firstCell,
                    lastCell, streams, collide_detail::single_model(model), nullptr, diagnostics);
}

int colider_range(Matrix& velocity, Matrix& maxRelSpeed, Matrix& selectRemainder,
                  SelectCoeff selectCoeff, const SortList& cells, int firstCell, int lastCell,
                  CellStreams streams, const Mixture& mixture,
                  const StepOptions* diagnostics) {
  return range_with(velocity, maxRelSpeed, selectRemainder, selectCoeff, cells, firstCell,
                    lastCell, streams, collide_detail::mixture_interactions(mixture), nullptr,
                    diagnostics);
}

int colider_range(Matrix& velocity, Matrix& maxRelSpeed, Matrix& selectRemainder,
                  SelectCoeff selectCoeff, const SortList& cells, int firstCell, int lastCell,
                  CellStreams streams, const CollisionModel& model, const InternalEnergy& internal,
                  const StepOptions* diagnostics) {
  return range_with(velocity, maxRelSpeed, selectRemainder, selectCoeff, cells, firstCell,
                    lastCell, streams, collide_detail::single_model(model), &internal, diagnostics);
}

int colider_range(Matrix& velocity, Matrix& maxRelSpeed, Matrix& selectRemainder,
                  SelectCoeff selectCoeff, const SortList& cells, int firstCell, int lastCell,
                  CellStreams streams, const Mixture& mixture, const InternalEnergy& internal,
                  const StepOptions* diagnostics) {
  return range_with(velocity, maxRelSpeed, selectRemainder, selectCoeff, cells, firstCell,
                    lastCell, streams, collide_detail::mixture_interactions(mixture), &internal,
                    diagnostics);
}
