! An outside Fortran program: velocities as v(3, n), which is the C
! interface's n x 3 row-major layout, collided ten times by per-cell streams
! through bind(C). Total momentum and energy must survive, and a bad particle
! index must be refused with its code. Exit status 0 when all holds.
program fortran_consumer
  use, intrinsic :: iso_c_binding
  implicit none

  interface
    integer(c_int) function collide_cells_keyed(velocity, particles, max_rel_speed, &
        select_remainder, cell_population, cell_start, cells, cross_ref, cross_ref_size, &
        select_coeff, first_cell, end_cell, key, step, collisions, message, message_size) &
        bind(C, name="collide_cells_keyed")
      import :: c_int, c_int32_t, c_int64_t, c_double, c_char, c_size_t
      real(c_double), intent(inout) :: velocity(3, *), max_rel_speed(*), select_remainder(*)
      integer(c_int32_t), value :: particles, cells, cross_ref_size, first_cell, end_cell
      integer(c_int32_t), intent(in) :: cell_population(*), cell_start(*), cross_ref(*)
      real(c_double), value :: select_coeff
      integer(c_int64_t), value :: key, step  ! uint64_t: the same bits
      integer(c_int32_t), intent(out) :: collisions
      character(kind=c_char), intent(out) :: message(*)
      integer(c_size_t), value :: message_size
    end function
  end interface

  integer, parameter :: n = 200, ncells = 4
  real(c_double) :: v(3, n), max_rel_speed(ncells), select_remainder(ncells)
  integer(c_int32_t) :: population(ncells), start(ncells), cross_ref(n), collisions, total
  character(kind=c_char) :: message(256)
  real(c_double) :: momentum(3), energy
  integer :: p, k, c, code
  integer(c_int64_t) :: step

  do p = 1, n
    do k = 1, 3
      v(k, p) = mod((p - 1) * 37 + (k - 1) * 11, 23) / 11.0_c_double - 1.0_c_double
    end do
  end do
  do c = 1, ncells
    population(c) = n / ncells
    start(c) = (c - 1) * (n / ncells)  ! positions in cross_ref, from 0
    max_rel_speed(c) = 4.0_c_double
    select_remainder(c) = 0.5_c_double
  end do
  do k = 1, n
    cross_ref(k) = mod((k - 1) * 7, n)  ! particle indices, from 0
  end do
  momentum = sum(v, dim=2)
  energy = sum(v * v)

  total = 0
  do step = 0, 9
    code = collide_cells_keyed(v, n, max_rel_speed, select_remainder, population, start, &
        ncells, cross_ref, n, 0.01_c_double, 0, ncells, 2026_c_int64_t, step, collisions, &
        message, int(size(message), c_size_t))
    if (code /= 0) error stop "collide_cells_keyed failed"
    total = total + collisions
  end do
  print '(i0, a, es12.5, a, es12.5)', total, " collisions, energy ", energy, " -> ", sum(v * v)
  if (total <= 0) error stop "no collision"
  if (abs(sum(v * v) - energy) > 1e-9_c_double * energy) error stop "energy changed"
  if (any(abs(sum(v, dim=2) - momentum) > 1e-9_c_double)) error stop "momentum changed"

  cross_ref(6) = n  ! one past the last particle
  code = collide_cells_keyed(v, n, max_rel_speed, select_remainder, population, start, &
      ncells, cross_ref, n, 0.01_c_double, 0, ncells, 2026_c_int64_t, 10_c_int64_t, collisions, &
      message, int(size(message), c_size_t))
  if (code /= 1) error stop "a particle index past the particles was taken"
end program
