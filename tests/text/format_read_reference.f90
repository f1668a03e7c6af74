! Reads one field per line of the file named by argument 1 as Fortran formatted input does
! and writes its value as a 32-bit pattern, or ERR when the read fails. Each line is
! "kind w d|field": kind F reads Fw.d into a real, kind I reads Iw into an integer.
program format_read_reference
  implicit none
  character(len=400) :: line, inname
  character(len=40) :: f
  character(len=1) :: kind
  integer :: ios, w, d, bar, ivalue
  real :: rvalue

  call get_command_argument(1, inname)
  open(1, file=trim(inname), status='old')
  do
    read(1, '(A)', iostat=ios) line
    if (ios /= 0) exit
    bar = index(line, '|')
    read(line(1:1), '(A)') kind
    read(line(2:bar - 1), *) w, d
    if (kind == 'F') then
      write(f, '(A,I0,A,I0,A)') '(F', w, '.', d, ')'
      read(line(bar + 1:bar + w), f, iostat=ios) rvalue
      if (ios == 0) ivalue = transfer(rvalue, ivalue)
    else
      write(f, '(A,I0,A)') '(I', w, ')'
      read(line(bar + 1:bar + w), f, iostat=ios) ivalue
    end if
    if (ios /= 0) then
      print '(A)', 'ERR'
    else
      print '(I0)', ivalue
    end if
  end do
end program format_read_reference
