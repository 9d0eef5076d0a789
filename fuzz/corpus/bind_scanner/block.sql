begin
  :result := 'a:b' || :x; -- :not_this
  /* :nor_this */ :y := :X;
end;