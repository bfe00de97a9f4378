! collide's C interface, collide.h, for Fortran: its constants, its structs
! as bind(C) types member for member, and its calls. Compile this file with
! your program (CMake: link collide::fortran, which adds it; pkg-config:
! the file is pkg-config --variable=fortran_module collide), then
!   use collide
! Set arguments%size to c_sizeof(arguments), with models model_size to
! c_sizeof(models(1)), and with internal energy internal_size to
! c_sizeof(internal(1)): a type that is not collide.h's is then refused
! with a message, never misread. collide.h explains every member.
module collide
  use, intrinsic :: iso_c_binding, only: c_int, c_int32_t, c_int64_t, c_size_t, c_double, &
      c_char, c_ptr, c_funptr, c_null_ptr, c_null_funptr
  implicit none
  private
  public :: collide_model, collide_internal, collide_arguments
  public :: collide_keyed, collide_with, collide_cells_keyed, collide_cells_with, &
      collide_sort_cells

  ! What a call returns.
  integer(c_int), parameter, public :: COLLIDE_OK = 0, COLLIDE_INVALID_ARGUMENT = 1, &
      COLLIDE_FAILED = 2, COLLIDE_CANCELLED = 3
  ! The kinds of collision model, and a pair's scale when none is given.
  integer(c_int32_t), parameter, public :: COLLIDE_HARD_SPHERE = 1, COLLIDE_VHS = 2, &
      COLLIDE_VSS = 3
  real(c_double), parameter, public :: COLLIDE_DEFAULT_SCALE = 1.0_c_double
  ! How a candidate's second particle is chosen.
  integer(c_int32_t), parameter, public :: COLLIDE_PARTNER_RANDOM = 0, &
      COLLIDE_PARTNER_NEAREST = 1

  type, bind(C) :: collide_model
    integer(c_int32_t) :: kind = 0
    real(c_double) :: omega = 0, g_ref = 0, alpha = 0, scale = 0
  end type

  ! A species' internal energy; internal_size is c_sizeof of it.
  type, bind(C) :: collide_internal
    integer(c_int32_t) :: rot_dof = 0
    real(c_double) :: z_rot = 1
    real(c_double) :: parker_z_inf = 0, parker_t_star = 0
    real(c_double) :: vib_quantum = 0
    real(c_double) :: z_vib = 1
    real(c_double) :: mw_c1 = 0, mw_c2 = 0
  end type

  ! uint64_t keys and steps pass as integer(c_int64_t): the same bits.
  type, bind(C) :: collide_arguments
    integer(c_size_t) :: size = 0
    type(c_ptr) :: velocity = c_null_ptr
    integer(c_int32_t) :: particles = 0
    type(c_ptr) :: max_rel_speed = c_null_ptr, select_remainder = c_null_ptr
    type(c_ptr) :: cell_population = c_null_ptr, cell_start = c_null_ptr
    integer(c_int32_t) :: cells = 0
    type(c_ptr) :: cross_ref = c_null_ptr
    integer(c_int32_t) :: cross_ref_size = 0
    real(c_double) :: select_coeff = 0
    type(c_ptr) :: select_coeff_per_cell = c_null_ptr
    integer(c_int32_t) :: first_cell = 0, end_cell = 0
    type(c_ptr) :: models = c_null_ptr
    integer(c_int32_t) :: model_count = 0, species_count = 0
    type(c_ptr) :: species = c_null_ptr, mass = c_null_ptr
    type(c_funptr) :: cancel = c_null_funptr
    type(c_ptr) :: cancel_context = c_null_ptr
    integer(c_size_t) :: model_size = 0
    type(c_ptr) :: internal = c_null_ptr
    integer(c_size_t) :: internal_size = 0
    type(c_ptr) :: e_rot = c_null_ptr, vib_level = c_null_ptr, cell_temperature = c_null_ptr
    type(c_ptr) :: pair_collisions = c_null_ptr, particle_collisions = c_null_ptr
    type(c_ptr) :: position = c_null_ptr, separation = c_null_ptr
    type(c_ptr) :: mean_population = c_null_ptr
    integer(c_int32_t) :: cell_offset = 0
    integer(c_int32_t) :: partner = 0
  end type

  interface
    integer(c_int) function collide_keyed(arguments, key, step, collisions, message, &
        message_size) bind(C, name="collide_keyed")
      import :: c_int, c_int32_t, c_int64_t, c_char, c_size_t, collide_arguments
      type(collide_arguments), intent(in) :: arguments
      integer(c_int64_t), value :: key, step
      integer(c_int32_t), intent(out) :: collisions
      character(kind=c_char), intent(out) :: message(*)
      integer(c_size_t), value :: message_size
    end function

    ! next(context) returns each deviate in [0, 1).
    integer(c_int) function collide_with(arguments, next, context, collisions, message, &
        message_size) bind(C, name="collide_with")
      import :: c_int, c_int32_t, c_char, c_size_t, c_ptr, c_funptr, collide_arguments
      type(collide_arguments), intent(in) :: arguments
      type(c_funptr), value :: next
      type(c_ptr), value :: context
      integer(c_int32_t), intent(out) :: collisions
      character(kind=c_char), intent(out) :: message(*)
      integer(c_size_t), value :: message_size
    end function

    integer(c_int) function collide_cells_keyed(velocity, particles, max_rel_speed, &
        select_remainder, cell_population, cell_start, cells, cross_ref, cross_ref_size, &
        select_coeff, first_cell, end_cell, key, step, collisions, message, message_size) &
        bind(C, name="collide_cells_keyed")
      import :: c_int, c_int32_t, c_int64_t, c_double, c_char, c_size_t
      real(c_double), intent(inout) :: velocity(3, *), max_rel_speed(*), select_remainder(*)
      integer(c_int32_t), value :: particles, cells, cross_ref_size, first_cell, end_cell
      integer(c_int32_t), intent(in) :: cell_population(*), cell_start(*), cross_ref(*)
      real(c_double), value :: select_coeff
      integer(c_int64_t), value :: key, step
      integer(c_int32_t), intent(out) :: collisions
      character(kind=c_char), intent(out) :: message(*)
      integer(c_size_t), value :: message_size
    end function

    integer(c_int) function collide_cells_with(velocity, particles, max_rel_speed, &
        select_remainder, cell_population, cell_start, cells, cross_ref, cross_ref_size, &
        select_coeff, first_cell, end_cell, next, context, collisions, message, message_size) &
        bind(C, name="collide_cells_with")
      import :: c_int, c_int32_t, c_double, c_char, c_size_t, c_ptr, c_funptr
      real(c_double), intent(inout) :: velocity(3, *), max_rel_speed(*), select_remainder(*)
      integer(c_int32_t), value :: particles, cells, cross_ref_size, first_cell, end_cell
      integer(c_int32_t), intent(in) :: cell_population(*), cell_start(*), cross_ref(*)
      real(c_double), value :: select_coeff
      type(c_funptr), value :: next
      type(c_ptr), value :: context
      integer(c_int32_t), intent(out) :: collisions
      character(kind=c_char), intent(out) :: message(*)
      integer(c_size_t), value :: message_size
    end function

    integer(c_int) function collide_sort_cells(cell_of, particles, cells, cell_population, &
        cell_start, cross_ref, message, message_size) bind(C, name="collide_sort_cells")
      import :: c_int, c_int32_t, c_char, c_size_t
      integer(c_int32_t), intent(in) :: cell_of(*)
      integer(c_int32_t), value :: particles, cells
      integer(c_int32_t), intent(out) :: cell_population(*), cell_start(*), cross_ref(*)
      character(kind=c_char), intent(out) :: message(*)
      integer(c_size_t), value :: message_size
    end function
  end interface
end module collide
