! An outside Fortran program: velocities as v(3, n), which is the C
! interface's n x 3 row-major layout, collided ten times by per-cell streams
! through bind(C). Total momentum and energy must survive, and a bad particle
! index must be refused with its code. Then two species of masses 1 and 4
! through the struct form, collide_arguments as a bind(C) type, with a table
! of models: sum m v and sum m v^2 must survive. Exit status 0 when all holds.
! It takes collide.h's types and calls from the module the package ships.
program fortran_consumer
  use, intrinsic :: iso_c_binding
  use collide
  implicit none

  integer, parameter :: n = 200, ncells = 4
  real(c_double), target :: v(3, n), max_rel_speed(ncells), select_remainder(ncells)
  integer(c_int32_t), target :: population(ncells), start(ncells), cross_ref(n)
  integer(c_int32_t) :: collisions, total
  integer(c_int32_t), target :: species(n)
  real(c_double), target :: mass(2) = [1.0_c_double, 4.0_c_double]
  type(collide_model), target :: models(4)
  type(collide_arguments) :: arguments
  real(c_double) :: m(n)
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
    if (code /= COLLIDE_OK) error stop "collide_cells_keyed failed"
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
  if (code /= COLLIDE_INVALID_ARGUMENT) error stop "a particle index past the particles was taken"
  cross_ref(6) = mod(5 * 7, n)

  ! Two species: particle p (from 0) is of species mod(p, 2).
  do p = 1, n
    species(p) = mod(p - 1, 2)
    m(p) = mass(species(p) + 1)
  end do
  models(1) = collide_model(COLLIDE_HARD_SPHERE, 0.5_c_double, 1.0_c_double, 1.0_c_double, 1.0_c_double)
  models(2) = collide_model(COLLIDE_VHS, 0.75_c_double, 1.0_c_double, 1.0_c_double, 1.5_c_double)
  models(3) = models(2)
  models(4) = collide_model(COLLIDE_VSS, 0.8_c_double, 1.0_c_double, 1.5_c_double, 1.0_c_double)
  arguments%size = c_sizeof(arguments)
  arguments%velocity = c_loc(v)
  arguments%particles = n
  arguments%max_rel_speed = c_loc(max_rel_speed)
  arguments%select_remainder = c_loc(select_remainder)
  arguments%cell_population = c_loc(population)
  arguments%cell_start = c_loc(start)
  arguments%cells = ncells
  arguments%cross_ref = c_loc(cross_ref)
  arguments%cross_ref_size = n
  arguments%select_coeff = 0.01_c_double
  arguments%first_cell = 0
  arguments%end_cell = ncells
  arguments%models = c_loc(models)
  arguments%model_count = 4
  arguments%model_size = c_sizeof(models(1))
  arguments%species_count = 2
  arguments%species = c_loc(species)
  arguments%mass = c_loc(mass)
  do k = 1, 3
    momentum(k) = sum(m * v(k, :))
  end do
  energy = sum(spread(m, 1, 3) * v * v)
  total = 0
  do step = 20, 29
    code = collide_keyed(arguments, 2026_c_int64_t, step, collisions, message, &
        int(size(message), c_size_t))
    if (code /= COLLIDE_OK) error stop "collide_keyed failed"
    total = total + collisions
  end do
  print '(a, i0, a, es12.5, a, es12.5)', "mixture: ", total, " collisions, energy ", energy, &
      " -> ", sum(spread(m, 1, 3) * v * v)
  if (total <= 0) error stop "no collision in the mixture"
  if (abs(sum(spread(m, 1, 3) * v * v) - energy) > 1e-9_c_double * energy) &
      error stop "the mixture's energy changed"
  do k = 1, 3
    if (abs(sum(m * v(k, :)) - momentum(k)) > 1e-9_c_double) error stop "the mixture's momentum changed"
  end do
end program
