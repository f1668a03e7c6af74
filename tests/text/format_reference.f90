! Writes values under display formats with gfortran's own formatted output, as the
! reference for the toolkit's number-to-text conversions.
! Each input line: a kind letter (I integer, R single from its 32-bit pattern, D double from
! its 64-bit pattern), a blank, the integer, a blank, the format. Each output line is the
! record between brackets, 40 characters, or ERR when the write failed.
program format_reference
  implicit none
  character(len=200) :: line, fmt
  character(len=40) :: record
  integer :: ios, rest, wios
  integer(kind=4) :: i4
  integer(kind=8) :: i8
  real(kind=4) :: r4
  real(kind=8) :: r8
  do
    read (*, '(A)', iostat=ios) line
    if (ios /= 0) exit
    rest = index(line(3:), ' ') + 2
    fmt = adjustl(line(rest + 1:))
    record = ' '
    select case (line(1:1))
    case ('I')
      read (line(3:rest - 1), *) i4
      write (record, fmt, iostat=wios) i4
    case ('R')
      read (line(3:rest - 1), *) i4
      r4 = transfer(i4, r4)
      write (record, fmt, iostat=wios) r4
    case default
      read (line(3:rest - 1), *) i8
      r8 = transfer(i8, r8)
      write (record, fmt, iostat=wios) r8
    end select
    if (wios /= 0) then
      write (*, '(A)') 'ERR'
    else
      write (*, '(A)') '[' // record // ']'
    end if
  end do
end program format_reference
